# Installs the build in BUILD_DIR (configuration CONFIG) into the scratch
# prefix PREFIX and checks that every program in PROGRAMS ("|"-separated
# paths relative to PREFIX) is there and answers --version, and that every
# file in FILES (likewise) is there. A cross build's programs run through
# EMULATOR ("|"-separated command), if given.
#
#   cmake -D BUILD_DIR=... -D CONFIG=... -D PREFIX=... -D PROGRAMS=... \
#         -P check_install.cmake

file(REMOVE_RECURSE "${PREFIX}")
execute_process(
  COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --config "${CONFIG}"
          --prefix "${PREFIX}"
  RESULT_VARIABLE status
  OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

string(REPLACE "|" ";" programs "${PROGRAMS}")
string(REPLACE "|" ";" emulator "${EMULATOR}")
foreach(program IN LISTS programs)
  set(path "${PREFIX}/${program}")
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "not installed: ${program}")
  endif()
  execute_process(COMMAND ${emulator} "${path}" --version
    RESULT_VARIABLE status OUTPUT_VARIABLE version)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "installed ${program} fails to run: ${status}")
  endif()
  message(STATUS "installed ${program}: ${version}")
endforeach()
string(REPLACE "|" ";" files "${FILES}")
foreach(file IN LISTS files)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
  message(STATUS "installed ${file}")
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
