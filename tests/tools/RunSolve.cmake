# Runs quorbelix-solve with ARGS (a ;-list) and checks its exit code and its output, or
# with OUTPUT_FILE its exit code when writing to that file.
if(DEFINED OUTPUT_FILE)
    execute_process(COMMAND ${SOLVE} ${ARGS}
                    RESULT_VARIABLE code OUTPUT_FILE ${OUTPUT_FILE} ERROR_VARIABLE err)
    set(out "")
else()
    execute_process(COMMAND ${SOLVE} ${ARGS}
                    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
endif()
if(NOT code STREQUAL EXPECTED_CODE)
    message(FATAL_ERROR "exit code ${code}, expected ${EXPECTED_CODE}; stderr: ${err}")
endif()
if(NOT out STREQUAL EXPECTED_OUT)
    message(FATAL_ERROR "standard output '${out}', expected '${EXPECTED_OUT}'")
endif()
if(DEFINED EXPECTED_ERR AND NOT err STREQUAL EXPECTED_ERR)
    message(FATAL_ERROR "standard error '${err}', expected '${EXPECTED_ERR}'")
endif()
