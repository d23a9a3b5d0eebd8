# Runs examples/demo-session.txt in a fresh directory holding examples/in.xml,
# then verifies its log and dumps with examples/demo.verify; fails when verify does.
# cmake -DTOOL=... -DSOURCE_DIR=... -DWORK_DIR=... -P DemoVerify.cmake
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
file(COPY ${SOURCE_DIR}/examples/in.xml DESTINATION ${WORK_DIR})
foreach(step "run;${SOURCE_DIR}/examples/demo-session.txt" "verify;${SOURCE_DIR}/examples/demo.verify")
  execute_process(COMMAND ${TOOL} -C ${WORK_DIR} ${step} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "tolvex-host ${step} exited with ${status}\n${out}${err}")
  endif()
endforeach()
message(STATUS "${out}")
