# The build's reading of the reference tables (cmake/native_facts.cmake),
# on small tables made here: what it writes for them, and the file and line
# of a line it cannot read.
#   cmake -DFACTS_SCRIPT=cmake/native_facts.cmake -DWORK=DIR -P native_facts_test.cmake
cmake_policy(VERSION 3.25)

if(DEFINED SOURCE)  # one reading, in a process of its own
  include(${FACTS_SCRIPT})
  native_facts(${SOURCE} ${SOURCE}/out)
  return()
endif()

set(header_all "hash\tnamespace\tname\tparam_count\treturn_type\tparam_types\tparam_names\n")
set(header_host "hash\tname\tparam_count\tparam_types\twhat the host does with it\n")
set(create_ped "0x1111111111111111\tPED\tCREATE_PED\t2\tPed\tHash,float\tmodelHash,x\n")
set(prompt_delete "0x2222222222222222\tHUD\t_UI_PROMPT_DELETE\t1\tvoid\tPrompt\tprompt\n")
set(unnamed "0x0000333333333333\tTASK\t_0x0000333333333333\t2\tvoid\tPed,BOOL\tped,p1\n")
set(host_line "0x4444444444444444\tSET_TEXT_SCALE\t2\tHash,float\tgone; sent on to CREATE_PED (0x1111111111111111)\n")

function(fail what)
  set_property(GLOBAL APPEND PROPERTY failures "${what}")
endfunction()

# Reads the tables given into a folder of their own; `out` is the message.
function(read_tables name all used host out)
  set(dir ${WORK}/${name})
  file(REMOVE_RECURSE ${dir})
  file(WRITE ${dir}/reference/natives-all.tsv "${header_all}${all}")
  file(WRITE ${dir}/reference/natives.tsv "${header_all}${used}")
  file(WRITE ${dir}/reference/host-natives.tsv "${header_host}${host}")
  file(MAKE_DIRECTORY ${dir}/out ${dir}/cmake)
  file(TOUCH ${dir}/cmake/native_facts.cmake)
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE=${dir} -DFACTS_SCRIPT=${FACTS_SCRIPT}
                          -P ${CMAKE_CURRENT_LIST_FILE}
                  RESULT_VARIABLE code ERROR_VARIABLE message)
  set(${out} "${code}: ${message}" PARENT_SCOPE)
endfunction()

function(expect_contains file text)
  file(READ ${file} content)
  string(FIND "${content}" "${text}" at)
  if(at EQUAL -1)
    fail("${file} lacks '${text}'")
  endif()
endfunction()

function(expect_error name message where)
  if(message MATCHES "^0:")
    fail("${name}: read without an error")
  endif()
  # CMake wraps a long message: its words are compared, not its lines.
  string(REGEX REPLACE "[ \n]+" " " message "${message}")
  string(FIND "${message}" "${where}" at)
  if(at EQUAL -1)
    fail("${name}: the error does not say '${where}': ${message}")
  endif()
endfunction()

# Good tables: a word for each named native, the plug-ins' hashes, and
# where the host sends its own on to.
read_tables(good "${prompt_delete}${create_ped}${unnamed}" "${create_ped}" "${host_line}" message)
if(NOT message MATCHES "^0:")
  fail("good tables: ${message}")
else()
  set(out ${WORK}/good/out)
  expect_contains(${out}/native_words.h "  UI_PROMPT_DELETE_ = 0,\n  CREATE_PED = 1,\n};")
  expect_contains(${out}/native_words.h "  SET_TEXT_SCALE = 0,\n};")
  expect_contains(${out}/toolkit_natives.def
                  "TOOLKIT_NATIVE(CREATE_PED, 0x1111111111111111ULL, \"CREATE_PED\")")
  expect_contains(${out}/native_facts.cpp
                  "{0x0000333333333333, \"_0x0000333333333333\", \"void\", \"Ped,BOOL\", \"ped,p1\"}")
  expect_contains(${out}/native_facts.cpp
                  "{0x4444444444444444, \"SET_TEXT_SCALE\", \"Hash,float\", 0x1111111111111111, \"gone; sent on")
  file(READ ${out}/native_words.h names)
  if(names MATCHES "0x0000333333333333")
    fail("a native known only by its hash has a word")
  endif()
endif()

# A table the build refuses, and what its error must say.
function(expect_refused name all used host where)
  read_tables(${name} "${all}" "${used}" "${host}" message)
  expect_error(${name} "${message}" "${where}")
endfunction()

expect_refused(columns "${create_ped}0x1\tPED\tSHORT\t0\tvoid\n" "" ""
               "reference/natives-all.tsv:3: 5 columns, not 7")
expect_refused(hash "0x111111\tPED\tCREATE_PED\t0\tvoid\t\t\n" "" ""
               "reference/natives-all.tsv:2: '0x111111' is not a hash")
expect_refused(count "0x1111111111111111\tPED\tCREATE_PED\t3\tPed\tHash,float\tmodelHash,x\n" "" ""
               "reference/natives-all.tsv:2: CREATE_PED has 3 parameters but 2 types")
expect_refused(twice "${create_ped}\n${create_ped}" "" ""
               "reference/natives-all.tsv:4: 0x1111111111111111 is listed twice")
string(REPLACE "modelHash,x" "model,x" renamed "${create_ped}")
expect_refused(missing "${create_ped}" "${prompt_delete}${renamed}" ""
               "reference/natives.tsv:2: 0x2222222222222222 is not in")
expect_refused(differs "${prompt_delete}${create_ped}" "${prompt_delete}${renamed}" ""
               "reference/natives.tsv:3: 0x1111111111111111 differs from its line")
expect_refused(host_columns "${create_ped}" "" "0x4444444444444444\tSET_TEXT_SCALE\n"
               "reference/host-natives.tsv:2: 2 columns, not 5")
expect_refused(sent "${prompt_delete}" "" "${host_line}"
               "reference/host-natives.tsv:2: SET_TEXT_SCALE is sent on to 0x1111111111111111")

get_property(failures GLOBAL PROPERTY failures)
if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "${text}")
endif()
