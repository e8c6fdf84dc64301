# cmake -DBUILD_DIR=... -DCHECKS=target|header,... -P check_upward_includes.cmake
# Builds each target and passes when every build fails because its header
# was not found, and for no other reason.
string(REPLACE "," ";" checks "${CHECKS}")
set(failures)
foreach(check ${checks})
  string(REPLACE "|" ";" parts "${check}")
  list(GET parts 0 target)
  list(GET parts 1 header)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${target}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  string(REGEX MATCH "${header}: No such file|Cannot open include file: '${header}'" missing
         "${output}")
  if(result EQUAL 0)
    list(APPEND failures "${target} built, although it includes ${header}")
  elseif(NOT missing)
    list(APPEND failures "${target} failed for another reason than ${header}:\n${output}")
  else()
    message(STATUS "${target}: ${header} not found, as it must be")
  endif()
endforeach()
if(failures)
  string(REPLACE ";" "\n" text "${failures}")
  message(FATAL_ERROR "${text}")
endif()
