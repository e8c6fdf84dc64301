# The program is built in layers, each a static library of its own folder
# under src/, from the bottom up:
#
#   platform   files, folders, processes, facts about the system
#   archives   GOB archives and the tables read from them
#   scaling    the level and model rewriting, the test episode
#   launch     the play session: scale, start the game, wait, clean up
#   shell      the desktop program's presenter and its window interfaces
#
# A layer may include the headers of the layers below it that it names in
# USES, and no others: each layer's headers are reachable as "layer/x.h"
# only through an include root of its own (a folder in the build tree that
# holds a link named after the layer), which a target gets by linking the
# layer. So an include that goes up a layer, or that a target has not
# declared, does not build.

# jkrescale_layer(NAME SOURCES file... [USES layer...])
function(jkrescale_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;USES")
  set(target jkrescale_${name})
  add_library(${target} STATIC ${arg_SOURCES})
  set(root ${CMAKE_BINARY_DIR}/include-roots/${name})
  file(MAKE_DIRECTORY ${root})
  if(NOT EXISTS ${root}/${name})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${name} ${root}/${name} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC ${root})
  foreach(used ${arg_USES})
    target_link_libraries(${target} PRIVATE jkrescale_${used})
  endforeach()
endfunction()

# The sources of this system among `files`: those that end in _posix.cc
# are left out on Windows, those that end in _windows.cc elsewhere.
function(jkrescale_system_sources out)
  set(kept)
  foreach(file ${ARGN})
    if(WIN32 AND file MATCHES "_posix\\.cc$")
      continue()
    elseif(NOT WIN32 AND file MATCHES "_windows\\.cc$")
      continue()
    endif()
    list(APPEND kept ${file})
  endforeach()
  set(${out} ${kept} PARENT_SCOPE)
endfunction()
