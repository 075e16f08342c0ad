# Runs the window program PROGRAM without a display: --help and --version
# answer, with exit status 0, and opening the window fails with a one-line
# error and exit status 1, as does a FILE that doesn't exist; bad arguments
# exit with status 2.
#
#   cmake -D PROGRAM=... -D VERSION=... -P check_arguments.cmake

set(no_display ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
  --unset=QT_QPA_PLATFORM)

function(expect arguments status out_pattern err_pattern)
  execute_process(COMMAND ${no_display} "${PROGRAM}" ${arguments}
    RESULT_VARIABLE got OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 30)
  if(NOT got STREQUAL status OR NOT out MATCHES "${out_pattern}"
     OR NOT err MATCHES "${err_pattern}")
    message(FATAL_ERROR "brimwald-ripper ${arguments}: exit ${got}, want "
      "${status}\nout: ${out}\nerr: ${err}")
  endif()
endfunction()

expect("--help" 0 "^Usage: [^\n]*brimwald-ripper \\[options\\] \\[FOLDER \\| FILE\\]\n" "^$")
expect("-h" 0 "--version" "^$")
expect("--version" 0 "^brimwald-ripper ${VERSION}\n$" "^$")
expect("-V" 0 "^brimwald-ripper ${VERSION}\n$" "^$")
expect("" 1 "^$" "^brimwald-ripper: no display to open the window on[^\n]*\n$")
expect("${CMAKE_CURRENT_LIST_DIR}" 1 "^$" "^brimwald-ripper: no display")
expect("no-such.str" 1 "^$" "^brimwald-ripper: cannot open 'no-such.str': ")
expect("--no-such-option" 2 "^$" "Unknown option 'no-such-option'")
expect("a.str;b.str" 2 "^$" "too many arguments")
