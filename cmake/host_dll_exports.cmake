# Writes the host DLL's module definition: the host's exports by name, as
# any plug-in sees them (BASE), and after them, by ordinal only, every
# symbol of the stand-in's own namespace its objects define, for the runner,
# which links the play engine and reaches the DLL's host and world through
# them. A plug-in sees no name beyond the host's own.
#   cmake -DNM=... -DOBJECTS=a.obj|b.obj -DBASE=host.def -DOUT=out.def -P host_dll_exports.cmake
string(REPLACE "|" ";" objects "${OBJECTS}")
execute_process(COMMAND ${NM} -g --defined-only ${objects} OUTPUT_VARIABLE listed
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${NM} failed on the host's objects")
endif()
string(REPLACE "\n" ";" lines "${listed}")
set(code)
set(data)
foreach(line IN LISTS lines)
  # "0000000000000000 T _ZN3sim4Host5resetEv": the stand-in's own, by their
  # mangled namespace, functions, variables and class tables alike.
  if(line MATCHES "^[0-9a-fA-F]+ ([A-Za-z]) (_Z(N|NK|TVN|TIN|TSN)3sim[A-Za-z0-9_]*)$")
    if(CMAKE_MATCH_1 STREQUAL "T" OR CMAKE_MATCH_1 STREQUAL "W")
      list(APPEND code ${CMAKE_MATCH_2})
    else()
      list(APPEND data ${CMAKE_MATCH_2})
    endif()
  endif()
endforeach()
list(REMOVE_DUPLICATES code)
list(REMOVE_DUPLICATES data)
list(REMOVE_ITEM data ${code})
list(SORT code)
list(SORT data)
file(READ ${BASE} text)
set(ordinal 1000)
foreach(name IN LISTS code)
  string(APPEND text "${name} @${ordinal} NONAME\n")
  math(EXPR ordinal "${ordinal} + 1")
endforeach()
foreach(name IN LISTS data)
  string(APPEND text "${name} @${ordinal} NONAME DATA\n")
  math(EXPR ordinal "${ordinal} + 1")
endforeach()
file(WRITE ${OUT}.new "${text}")
file(COPY_FILE ${OUT}.new ${OUT} ONLY_IF_DIFFERENT)
