# Runs PROBE (io/interrupt_probe_win32.cpp) through EMULATOR ("|"-separated
# command) on a pseudo-terminal, which gives wine a console to press Ctrl-C
# on, and checks that the interrupted program left nothing in FOLDER.
#
#   cmake -D PROBE=... -D EMULATOR=... -D FOLDER=... -P check_interrupt.cmake

file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")
string(REPLACE "|" "' '" command "'${EMULATOR}|${PROBE}|${FOLDER}'")
execute_process(COMMAND script -qec "${command}" /dev/null
  RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
if(status EQUAL 2)
  message(FATAL_ERROR "the probe found no console to press Ctrl-C on")
elseif(status EQUAL 3)
  message(FATAL_ERROR "Ctrl-C did not end the probe")
endif()
file(GLOB left "${FOLDER}/*")
if(left)
  message(FATAL_ERROR "an interrupted run left ${left}")
endif()
file(REMOVE_RECURSE "${FOLDER}")
