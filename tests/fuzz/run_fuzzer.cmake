# Runs one libFuzzer program for a bounded time and fails on any finding.
#   cmake -DPROGRAM=<fuzz program> -DSEEDS=<seed folder> -DWORK=<scratch folder>
#         -DSECONDS=<run time> -P run_fuzzer.cmake
# The seeds are only read: new inputs go to WORK/corpus and crash, leak or
# time-out inputs to WORK/artifacts, both outside the repository.
foreach(var PROGRAM SEEDS WORK SECONDS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_fuzzer.cmake: -D${var}=... is missing")
  endif()
endforeach()

file(MAKE_DIRECTORY ${WORK}/corpus ${WORK}/artifacts)
execute_process(
  COMMAND ${PROGRAM} -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=2048 -max_len=8192
    -print_final_stats=1 -artifact_prefix=${WORK}/artifacts/ ${WORK}/corpus ${SEEDS}
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} failed (${result}); the input that failed is in ${WORK}/artifacts")
endif()
