# vessane-cli.exe --batch copies CSV byte for byte: CRLF rows stay CRLF (text mode on
# Windows would write CR CR LF). Arguments: EMULATOR, CLI, WORK (a scratch folder).
# Bytes are compared in hexadecimal: CMake folds CRLF in captured output.
file(MAKE_DIRECTORY "${WORK}")
string(ASCII 13 CR)
string(ASCII 10 LF)
file(WRITE "${WORK}/crlf.csv" "age,note${CR}${LF}50,\"a${CR}${LF}b\"${CR}${LF}")
execute_process(COMMAND ${EMULATOR} "${CLI}" --defaults --batch "${WORK}/crlf.csv"
                OUTPUT_FILE "${WORK}/out.csv" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "vessane-cli.exe --batch ended with ${status}")
endif()
file(READ "${WORK}/out.csv" out HEX)
# "error" CR LF "50," quote "a" CR LF "b" quote ","
set(expected "6572726f720d0a35302c22610d0a62222c")
string(FIND "${out}" "${expected}" row)
string(REGEX MATCH "^(..)*0d0d" doubled "${out}")
if(row EQUAL -1 OR doubled)
  message(FATAL_ERROR "line ends changed in the batch output (hex): ${out}")
endif()

# -o: the file is replaced when the batch succeeds (threads or not, the same bytes), and
# left as it was, with no temporary file beside it, when the batch fails.
file(WRITE "${WORK}/replaced.csv" "old")
execute_process(COMMAND ${EMULATOR} "${CLI}" --defaults --batch "${WORK}/crlf.csv" -o "${WORK}/replaced.csv"
                        --jobs 2
                RESULT_VARIABLE status)
file(READ "${WORK}/replaced.csv" replaced HEX)
if(NOT status EQUAL 0 OR NOT replaced STREQUAL out)
  message(FATAL_ERROR "-o ended with ${status} and wrote (hex): ${replaced}")
endif()
file(WRITE "${WORK}/open.csv" "age\n\"5")
execute_process(COMMAND ${EMULATOR} "${CLI}" --defaults --batch "${WORK}/open.csv" -o "${WORK}/replaced.csv"
                RESULT_VARIABLE status ERROR_QUIET)
file(READ "${WORK}/replaced.csv" kept HEX)
file(GLOB left "${WORK}/.replaced.csv*")
if(NOT status EQUAL 1 OR NOT kept STREQUAL out OR left)
  message(FATAL_ERROR "a failed batch with -o ended with ${status}, left ${left}, wrote: ${kept}")
endif()

# -o NUL: the device is written to, never replaced; nothing is made beside it.
execute_process(COMMAND ${EMULATOR} "${CLI}" --defaults --batch "${WORK}/crlf.csv" -o NUL
                WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE status OUTPUT_VARIABLE printed)
file(GLOB made "${WORK}/.NUL*" "${WORK}/NUL*")
if(NOT status EQUAL 0 OR made OR NOT printed STREQUAL "")
  message(FATAL_ERROR "-o NUL ended with ${status}, made ${made}, printed ${printed}")
endif()
