# A native's facts, read once from the reference tables and written as code
# that the stand-in and the toolkit compile:
#   native_words.h         each native of the game as a word (sim::Native), and
#                          the host's own (sim::HostNativeName)
#   native_facts.cpp       their hash, name, result and parameters as listed
#   toolkit_natives.def    TOOLKIT_NATIVE(word, hash, name) for each native the
#                          plug-ins call (reference/natives.tsv)
# A native's word is its name; a leading underscore, which C++ keeps for
# itself, moves to the end (_UI_PROMPT_DELETE is UI_PROMPT_DELETE_). Natives
# the game's table knows only by their hash (_0x...) have no word.
#
# native_facts(SOURCE_DIR OUT_DIR) writes the files that differ; a line it
# cannot read stops the configure, naming its file and line.

# The lines of a table that say something, each as its line number, a tab
# and the line; the file's semicolons are kept as a mark no table has, so
# that they do not split a line.
function(native_table_lines path out)
  file(READ ${path} text)
  string(REPLACE ";" "@semicolon@" text "${text}")
  string(REPLACE "\r" "" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  # Appended as text: a list appended to line by line is copied each time.
  set(numbered "")
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    if(number GREATER 1 AND NOT line STREQUAL "")
      string(APPEND numbered ";${number}\t${line}")
    endif()
  endforeach()
  if(NOT numbered STREQUAL "")
    string(SUBSTRING "${numbered}" 1 -1 numbered)
  endif()
  set(${out} "${numbered}" PARENT_SCOPE)
endfunction()

# Sets `line_number`, `line` (its text) and a variable per column named
# from a numbered line of the table, which must have those columns.
set(native_match_numbers 1 2 3 4 5 6 7 8 9)
function(native_fields entry table)
  list(LENGTH ARGN columns)
  string(REPEAT "\t([^\t]*)" ${columns} pattern)
  if(NOT entry MATCHES "^([0-9]+)\t(.*)$")
    message(FATAL_ERROR "${table}: a line without its number")
  endif()
  set(number ${CMAKE_MATCH_1})
  set(text "${CMAKE_MATCH_2}")
  set(line_number ${number} PARENT_SCOPE)
  set(line "${text}" PARENT_SCOPE)
  if(NOT "\t${text}" MATCHES "^${pattern}$")
    string(REGEX MATCHALL "\t" tabs "\t${text}")
    list(LENGTH tabs n)
    message(FATAL_ERROR "${table}:${number}: ${n} columns, not ${columns}")
  endif()
  foreach(name match IN ZIP_LISTS ARGN native_match_numbers)
    if(name)
      set(${name} "${CMAKE_MATCH_${match}}" PARENT_SCOPE)
    endif()
  endforeach()
endfunction()

function(native_word name out)
  if(name MATCHES "^_([A-Z].*)$")
    set(${out} "${CMAKE_MATCH_1}_" PARENT_SCOPE)
  elseif(name MATCHES "^[A-Z][A-Z0-9_]*$")
    set(${out} "${name}" PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

function(native_count_types types out)
  if(types STREQUAL "")
    set(${out} 0 PARENT_SCOPE)
  else()
    string(REPLACE "," ";" list "${types}")
    list(LENGTH list n)
    set(${out} ${n} PARENT_SCOPE)
  endif()
endfunction()

function(native_write path text)
  file(WRITE ${path}.new "${text}")
  file(COPY_FILE ${path}.new ${path} ONLY_IF_DIFFERENT)
  file(REMOVE ${path}.new)
endfunction()

function(native_facts source_dir out_dir)
  set(all_tsv reference/natives-all.tsv)
  set(used_tsv reference/natives.tsv)
  set(host_tsv reference/host-natives.tsv)
  foreach(tsv ${all_tsv} ${used_tsv} ${host_tsv} cmake/native_facts.cmake)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source_dir}/${tsv})
  endforeach()
  set(made "// Made by the build from reference/*.tsv (cmake/native_facts.cmake): do not edit.\n")

  # The game's whole table: hash, namespace, name, count, result, types, names.
  native_table_lines(${source_dir}/${all_tsv} lines)
  set(words "")
  set(facts "")
  set(index 0)
  foreach(entry IN LISTS lines)
    native_fields("${entry}" ${all_tsv} hash space name count result types names)
    string(LENGTH "${hash}" length)
    if(NOT hash MATCHES "^0x[0-9A-F]+$" OR NOT length EQUAL 18)
      message(FATAL_ERROR "${all_tsv}:${line_number}: '${hash}' is not a hash of 16 hex digits")
    endif()
    native_count_types("${types}" typed)
    if(NOT count STREQUAL typed)
      message(FATAL_ERROR "${all_tsv}:${line_number}: ${name} has ${count} parameters but ${typed} types")
    endif()
    if(DEFINED native_line_${hash})
      message(FATAL_ERROR "${all_tsv}:${line_number}: ${hash} is listed twice")
    endif()
    set(native_line_${hash} "${line}")
    native_word("${name}" word)
    if(NOT word STREQUAL "")
      if(DEFINED native_named_${word})
        message(FATAL_ERROR "${all_tsv}:${line_number}: ${name} is the word of two natives")
      endif()
      set(native_named_${word} 1)
      string(APPEND words "  ${word} = ${index},\n")
    endif()
    string(APPEND facts "    {${hash}, \"${name}\", \"${result}\", \"${types}\", \"${names}\"},\n")
    math(EXPR index "${index} + 1")
  endforeach()

  # The plug-ins' natives, each as the game's table lists it.
  native_table_lines(${source_dir}/${used_tsv} lines)
  set(toolkit "${made}// TOOLKIT_NATIVE(word, hash, name): each native the plug-ins call.\n")
  foreach(entry IN LISTS lines)
    native_fields("${entry}" ${used_tsv} hash space name count result types names)
    if(NOT DEFINED native_line_${hash})
      message(FATAL_ERROR "${used_tsv}:${line_number}: ${hash} is not in ${all_tsv}")
    endif()
    if(NOT native_line_${hash} STREQUAL line)
      message(FATAL_ERROR "${used_tsv}:${line_number}: ${hash} differs from its line in ${all_tsv}")
    endif()
    native_word("${name}" word)
    string(APPEND toolkit "TOOLKIT_NATIVE(${word}, ${hash}ULL, \"${name}\")\n")
  endforeach()

  # The host's own: hash, name, count, types, and what the host does, which
  # names the native it sends the call on to, if any, as "(0x...)".
  native_table_lines(${source_dir}/${host_tsv} lines)
  set(host_words "")
  set(host_facts "")
  set(index 0)
  foreach(entry IN LISTS lines)
    native_fields("${entry}" ${host_tsv} hash name count types what)
    string(REPLACE "@semicolon@" ";" what "${what}")
    native_count_types("${types}" typed)
    if(NOT count STREQUAL typed)
      message(FATAL_ERROR "${host_tsv}:${line_number}: ${name} has ${count} parameters but ${typed} types")
    endif()
    set(sent_to 0)
    if(what MATCHES "\\((0x[0-9A-F]+)\\)")
      set(sent_to ${CMAKE_MATCH_1})
      if(NOT DEFINED native_line_${sent_to})
        message(FATAL_ERROR "${host_tsv}:${line_number}: ${name} is sent on to ${sent_to}, "
                            "which is not in ${all_tsv}")
      endif()
    endif()
    native_word("${name}" word)
    string(APPEND host_words "  ${word} = ${index},\n")
    string(APPEND host_facts "    {${hash}, \"${name}\", \"${types}\", ${sent_to}, \"${what}\"},\n")
    math(EXPR index "${index} + 1")
  endforeach()

  string(CONCAT names_h "${made}#pragma once\n\n#include <cstdint>\n\nnamespace sim {\n\n"
    "enum class Native : uint16_t {\n${words}};\n\n"
    "enum class HostNativeName : uint8_t {\n${host_words}};\n\n}  // namespace sim\n")
  string(CONCAT facts_cpp "${made}
#include \"reference_natives.h\"\n\nnamespace sim {\n\n"
    "std::span<const NativeFacts> reference_facts() {\n"
    "  static const NativeFacts facts[] = {\n${facts}  };\n  return facts;\n}\n\n"
    "std::span<const HostNativeFacts> host_native_facts() {\n"
    "  static const HostNativeFacts facts[] = {\n${host_facts}  };\n  return facts;\n}\n\n"
    "}  // namespace sim\n")
  native_write(${out_dir}/native_words.h "${names_h}")
  native_write(${out_dir}/native_facts.cpp "${facts_cpp}")
  native_write(${out_dir}/toolkit_natives.def "${toolkit}")
endfunction()
