# vessane-cli.exe --batch copies CSV byte for byte: CRLF rows stay CRLF (text mode on
# Windows would write CR CR LF). Arguments: EMULATOR, CLI, WORK (a scratch folder).
# Bytes are compared in hexadecimal: CMake folds CRLF in captured output.
file(MAKE_DIRECTORY "${WORK}")
string(ASCII 13 CR)
string(ASCII 10 LF)
file(WRITE "${WORK}/crlf.csv" "age,note${CR}${LF}50,\"a${CR}${LF}b\"${CR}${LF}")
execute_process(COMMAND ${EMULATOR} "${CLI}" --batch "${WORK}/crlf.csv"
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
