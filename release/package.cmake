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

# The checksums of the archive and each .asi; other files' lines (the
# modders' packages) stay.
file(GLOB FILES RELATIVE ${STAGE} ${STAGE}/*.asi)
list(SORT FILES)
list(APPEND FILES ${archive_name})
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/update_sums.cmake)
