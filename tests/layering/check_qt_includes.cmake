# cmake -DSOURCE_DIR=src -P check_qt_includes.cmake
# Fails when a source of src/ outside the desktop front-end includes a Qt
# header.
file(GLOB_RECURSE sources ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cc)
set(offenders)
foreach(source ${sources})
  if(source MATCHES "/desktop/")
    continue()
  endif()
  file(STRINGS ${source} includes REGEX "^#include <Q")
  if(includes)
    list(APPEND offenders "${source}: ${includes}")
  endif()
endforeach()
if(offenders)
  string(REPLACE ";" "\n" text "${offenders}")
  message(FATAL_ERROR "Qt headers outside the desktop front-end:\n${text}")
endif()
