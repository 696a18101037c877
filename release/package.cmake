# Zips the staged release folder STAGE into ARCHIVE, and writes SUMS
# (sha256sum's format) for the archive and each .asi beside it.
cmake_minimum_required(VERSION 3.25)

get_filename_component(dist ${ARCHIVE} DIRECTORY)
get_filename_component(archive_name ${ARCHIVE} NAME)
get_filename_component(stage_parent ${STAGE} DIRECTORY)
get_filename_component(folder ${STAGE} NAME)

# An earlier version's archive would sit in dist/ without a checksum.
file(GLOB earlier ${dist}/*-win64.zip)
list(REMOVE_ITEM earlier ${ARCHIVE})
if(earlier)
  file(REMOVE ${earlier})
endif()

file(GLOB files RELATIVE ${stage_parent} ${STAGE}/*)
list(SORT files)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ARCHIVE} --format=zip ${files}
                WORKING_DIRECTORY ${stage_parent} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "could not write ${ARCHIVE}")
endif()

file(GLOB plugins RELATIVE ${STAGE} ${STAGE}/*.asi)
list(SORT plugins)
set(lines "")
foreach(name ${plugins} ${archive_name})
  if(NOT EXISTS ${dist}/${name})
    message(FATAL_ERROR "no ${dist}/${name} to checksum")
  endif()
  file(SHA256 ${dist}/${name} hash)
  string(APPEND lines "${hash}  ${name}\n")
endforeach()
file(WRITE ${SUMS} "${lines}")
