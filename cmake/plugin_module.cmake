# add_plugin_module(NAME SOURCES file... [ENTRY | TOOLKIT]
#                   [DEFINITIONS definition...] [NATIVE_ONLY])
#
# A plug-in: NAME.so natively, for the stand-in host, and NAME.asi in the
# Windows build, linked as a published .asi is: no compiler runtime DLLs
# beside it, nothing exported (the loader finds DllMain without an export).
#   ENTRY    the plug-in defines on_attach and on_detach (examples/entry.h);
#            examples/entry.cpp calls them from DllMain, or natively from the
#            plugin_attach and plugin_detach the stand-in host calls instead.
#            It is built against the host's whole interface (host_api).
#   TOOLKIT  the plug-in is built on the deliverables' toolkit, whole, so
#            that its entry points, which nothing else refers to, are kept.
#   NATIVE_ONLY  not built for Windows (plug-ins that only native tests load).
function(add_plugin_module name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "ENTRY;NATIVE_ONLY;TOOLKIT" "" "SOURCES;DEFINITIONS")
  if(arg_NATIVE_ONLY AND WIN32)
    return()
  endif()
  add_library(${name} MODULE ${arg_SOURCES})
  if(arg_TOOLKIT)
    target_link_libraries(${name} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,toolkit>")
  else()
    target_link_libraries(${name} PRIVATE host_api)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/toolkit ${NATIVE_FACTS_DIR})
  endif()
  if(arg_ENTRY)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/examples/entry.cpp)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/examples)
  endif()
  target_compile_definitions(${name} PRIVATE ${arg_DEFINITIONS})
  target_compile_options(${name} PRIVATE ${PLUGIN_COMPILE_OPTIONS})
  set_target_properties(${name} PROPERTIES PREFIX "")
  if(WIN32)
    set_target_properties(${name} PROPERTIES SUFFIX ".asi")
    target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++
                        -Wl,--exclude-all-symbols)
  endif()
endfunction()
