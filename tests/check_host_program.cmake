# A program built for the building machine is rebuilt when a header it includes changes:
# a throwaway project builds one with cmake/host_program.cmake, the header is rewritten,
# the build is run again, and the program must print the header's new value.
#   cmake -DREPO=<repository> -DWORK=<scratch folder> -P check_host_program.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/engine")
file(WRITE "${WORK}/CMakeLists.txt" "cmake_minimum_required(VERSION 3.25)
project(probe CXX)
set(VESSANE_CORE_SOURCES \"\")
include(${REPO}/cmake/host_program.cmake)
vessane_add_host_program(probe \${CMAKE_BINARY_DIR}/probe SOURCES \${CMAKE_SOURCE_DIR}/main.cpp)
")
file(WRITE "${WORK}/main.cpp" "#include <cstdio>\n#include \"value.h\"\nint main() { std::printf(\"%d\", kValue); }\n")
function(build_and_run value)
  file(WRITE "${WORK}/engine/value.h" "constexpr int kValue = ${value};\n")
  if(value GREATER 1)
    # Newer than the objects built before, explicitly: not left to the file system's clock
    # resolution within one second.
    execute_process(COMMAND touch -d tomorrow "${WORK}/engine/value.h" COMMAND_ERROR_IS_FATAL ANY)
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} --build "${WORK}/build" RESULT_VARIABLE status
                  OUTPUT_QUIET ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "the probe did not build: ${errors}")
  endif()
  execute_process(COMMAND "${WORK}/build/probe" OUTPUT_VARIABLE printed)
  if(NOT printed STREQUAL "${value}")
    message(FATAL_ERROR "after value.h became ${value}, the program printed ${printed}: not rebuilt")
  endif()
endfunction()
execute_process(COMMAND ${CMAKE_COMMAND} -S "${WORK}" -B "${WORK}/build" -G "Unix Makefiles"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the probe did not configure")
endif()
build_and_run(1)
build_and_run(2)
file(REMOVE_RECURSE "${WORK}")
