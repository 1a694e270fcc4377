# One golden case: run the probe, compare its output with the expected
# listing byte for byte. With GOLDEN_UPDATE set in the environment of this
# run the listing is rewritten instead; read here, never baked in at
# configure time, so a failed update leaves no test that cannot fail.
get_filename_component(actual_dir ${ACTUAL} DIRECTORY)
file(MAKE_DIRECTORY ${actual_dir})
execute_process(COMMAND ${PROBE} ${ARGS}
  OUTPUT_FILE ${ACTUAL}
  ERROR_VARIABLE err
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "probe ${ARGS} failed (${rc}): ${err}")
endif()
set(update "$ENV{GOLDEN_UPDATE}")
if(update)
  file(COPY_FILE ${ACTUAL} ${EXPECTED})
  return()
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${EXPECTED} ${ACTUAL} RESULT_VARIABLE diff)
if(NOT diff EQUAL 0)
  execute_process(COMMAND diff -u ${EXPECTED} ${ACTUAL})
  message(FATAL_ERROR "output of probe ${ARGS} differs from ${EXPECTED}")
endif()
