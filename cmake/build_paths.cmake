# The build's paths a program reads (a plug-in built, a folder of the tree),
# each a `const char NAME[]` defined in one generated source of that
# program's own and declared in a header every one of its sources includes.
# Compiler flags would do as much, but a clone in another folder would then
# change every file's flags, and the compiler cache would miss them all; this
# way only the one small source is compiled again.
#
#   build_paths(play_tests PLAY_COMMAND "$<TARGET_FILE:play>" DIST_DIR "${PROJECT_SOURCE_DIR}/dist")
function(build_paths target)
  set(pairs "${ARGN}")  # quoted: a path may be empty (a tool not found)
  list(LENGTH pairs count)
  math(EXPR odd "${count} % 2")
  if(odd)
    message(FATAL_ERROR "build_paths(${target}): a name without a path in '${ARGN}'")
  endif()
  # The first call for a target generates its files; later ones only add paths.
  get_target_property(generated ${target} BUILD_PATH_NAMES)
  while(pairs)
    list(POP_FRONT pairs name value)
    set_property(TARGET ${target} APPEND PROPERTY BUILD_PATH_NAMES "extern const char ${name}[]")
    set_property(TARGET ${target} APPEND PROPERTY BUILD_PATH_VALUES
                 "extern const char ${name}[] = \"${value}\"")
  endwhile()
  if(generated)
    return()
  endif()
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_paths)
  set(end "$<SEMICOLON>\n")
  # A path may name a target's file: $<TARGET_FILE:...> is evaluated here.
  set(values "$<TARGET_GENEX_EVAL:${target},$<TARGET_PROPERTY:${target},BUILD_PATH_VALUES>>")
  file(GENERATE OUTPUT ${dir}/build_paths.h CONTENT
       "#pragma once\n$<JOIN:$<TARGET_PROPERTY:${target},BUILD_PATH_NAMES>,${end}>${end}")
  file(GENERATE OUTPUT ${dir}/build_paths.cpp CONTENT
       "#include \"build_paths.h\"\n$<JOIN:${values},${end}>${end}")
  target_sources(${target} PRIVATE ${dir}/build_paths.cpp)
  target_compile_options(${target} PRIVATE -include ${dir}/build_paths.h)
endfunction()
