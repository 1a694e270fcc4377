# The update switch: a wrong expected listing fails unless GOLDEN_UPDATE is
# set in the environment of that very run, which then rewrites it.
set(expected ${WORK}/switch-expected.txt)
set(actual ${WORK}/switch-actual.txt)
file(WRITE ${expected} "not what the probe prints\n")
set(run ${CMAKE_COMMAND} -DPROBE=${PROBE} -DARGS=--help -DEXPECTED=${expected} -DACTUAL=${actual}
    -P ${CMAKE_CURRENT_LIST_DIR}/run_case.cmake)

execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=GOLDEN_UPDATE ${run}
  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
if(rc EQUAL 0)
  message(FATAL_ERROR "a wrong expected listing passed without GOLDEN_UPDATE")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env GOLDEN_UPDATE=OFF ${run}
  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
if(rc EQUAL 0)
  message(FATAL_ERROR "GOLDEN_UPDATE=OFF updated the listing")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env GOLDEN_UPDATE=ON ${run}
  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "GOLDEN_UPDATE=ON did not rewrite the listing")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${expected} ${actual} RESULT_VARIABLE diff)
if(NOT diff EQUAL 0)
  message(FATAL_ERROR "the rewritten listing differs from the probe's output")
endif()
