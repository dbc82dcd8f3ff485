# Runs trapezola-cli once and checks its exit status and output.
#   CLI          path of the tool
#   ARGS         its arguments, joined by "|"
#   EXIT         the expected exit status
#   STDOUT_MATCH regular expression the standard output must match (optional)
#   STDOUT_EMPTY when set, standard output must be empty
#   STDERR_MATCH regular expression the standard error must match (optional)
#   STDERR_LINES when set, the number of lines standard error must have
#   STDOUT_FILE  where standard output goes instead of being checked (optional)
string(REPLACE "|" ";" ARGS "${ARGS}")
if(DEFINED STDOUT_FILE)
  # The shell opens the file for the tool itself: CMake's OUTPUT_FILE would
  # hand it a pipe and write the file on its own.
  execute_process(COMMAND sh -c "exec \"$0\" \"$@\" > '${STDOUT_FILE}'" ${CLI} ${ARGS}
                  RESULT_VARIABLE status ERROR_VARIABLE err)
else()
  execute_process(COMMAND ${CLI} ${ARGS} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
endif()
if(NOT status EQUAL EXIT)
  message(FATAL_ERROR "exit status ${status}, expected ${EXIT}\nstdout:\n${out}\nstderr:\n${err}")
endif()
if(DEFINED STDOUT_MATCH AND NOT out MATCHES "${STDOUT_MATCH}")
  message(FATAL_ERROR "standard output does not match ${STDOUT_MATCH}:\n${out}")
endif()
if(STDOUT_EMPTY AND NOT out STREQUAL "")
  message(FATAL_ERROR "standard output should be empty:\n${out}")
endif()
if(DEFINED STDERR_MATCH AND NOT err MATCHES "${STDERR_MATCH}")
  message(FATAL_ERROR "standard error does not match ${STDERR_MATCH}:\n${err}")
endif()
if(DEFINED STDERR_LINES)
  string(REGEX MATCHALL "\n" newlines "${err}")
  list(LENGTH newlines n)
  if(NOT n EQUAL STDERR_LINES)
    message(FATAL_ERROR "standard error has ${n} lines, expected ${STDERR_LINES}:\n${err}")
  endif()
endif()
