# Sources that read the same heavy headers compile faster as one: the headers
# are read, and their templates made, once per batch instead of once a file.
#
#   sources_as_one(compiled sim_game BATCH 9 game/world.cpp game/peds.cpp ...)
#
# sets `compiled` to the generated sources (sim_game_1.cpp, ...) that include
# up to BATCH of them each; the originals stay in the target for an IDE but
# are not compiled themselves (add both to the target). A generated source
# names its files from the tree's root, so it reads the same in every clone
# and the compiler cache still gives its object to a clone elsewhere.
function(sources_as_one out name)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "BATCH" "")
  set(sources ${arg_UNPARSED_ARGUMENTS})
  list(LENGTH sources count)
  if(NOT arg_BATCH)
    set(arg_BATCH ${count})
  endif()
  set(compiled)
  set(batch 0)
  set(first 0)
  while(first LESS count)
    math(EXPR batch "${batch} + 1")
    set(content "// Generated: sources of ${name}, compiled as one.\n")
    list(SUBLIST sources ${first} ${arg_BATCH} part)
    foreach(source ${part})
      cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE)
      file(RELATIVE_PATH from_root ${PROJECT_SOURCE_DIR} ${source})
      string(APPEND content "#include \"${from_root}\"\n")
    endforeach()
    set(one ${CMAKE_CURRENT_BINARY_DIR}/${name}_${batch}.cpp)
    file(CONFIGURE OUTPUT ${one} CONTENT "${content}" @ONLY)
    list(APPEND compiled ${one})
    math(EXPR first "${first} + ${arg_BATCH}")
  endwhile()
  set_source_files_properties(${sources} PROPERTIES HEADER_FILE_ONLY ON)
  set_source_files_properties(${compiled} PROPERTIES INCLUDE_DIRECTORIES ${PROJECT_SOURCE_DIR})
  set(${out} ${compiled} PARENT_SCOPE)
endfunction()

option(STAND_IN_AS_ONE_SOURCE
       "Compile the stand-in's and play's sources a few to a source: faster from nothing; OFF rebuilds one edited file faster"
       ON)

# A target's own sources of the stand-in or play, and what compiles them:
#   stand_in_sources(engine_sources play_engine BATCH 8 parser.cpp ...)
function(stand_in_sources out name)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "BATCH" "")
  set(sources ${arg_UNPARSED_ARGUMENTS})
  if(STAND_IN_AS_ONE_SOURCE)
    sources_as_one(one ${name} ${ARGN})
    list(APPEND sources ${one})
  endif()
  set(${out} ${sources} PARENT_SCOPE)
endfunction()
