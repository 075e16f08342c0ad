# Runs the command-line program PROGRAM (brimwald-ripper-cli.exe) through
# EMULATOR ("|"-separated command) on a pseudo-terminal, which wine makes a
# console of, and checks that names outside the console's code page show
# as they are: `inspect` heads a file's result with its name on standard
# output and names a missing file on standard error.
#
#   cmake -D PROGRAM=... -D EMULATOR=... -D FOLDER=... -P check_console.cmake

file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")
set(present "música-日本.str")
set(missing "missing-ü.str")
file(WRITE "${FOLDER}/${present}" "not a stream container")
string(REPLACE "|" "' '" command
  "'${EMULATOR}|${PROGRAM}|inspect|${present}|${missing}'")
execute_process(COMMAND env LC_ALL=C.UTF-8 script -qec "${command}" /dev/null
  WORKING_DIRECTORY "${FOLDER}"
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
file(REMOVE_RECURSE "${FOLDER}")
foreach(expected IN ITEMS "==> ${present} <==" "Invalid File!!!"
                          "cannot open '${missing}'")
  string(FIND "${output}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the console did not show \"${expected}\":\n${output}")
  endif()
endforeach()
if(NOT status EQUAL 1)
  message(FATAL_ERROR "exit status ${status}, not 1:\n${output}")
endif()
