# Builds a program over the core for the machine that runs the build, beside a
# cross-built one (Windows, WebAssembly), so that the two builds' outputs can be compared.
#   vessane_add_host_program(<target> <output file> <sources>...)
find_program(VESSANE_HOST_CXX NAMES c++ g++ REQUIRED)

function(vessane_add_host_program target output)
  set(core_sources ${VESSANE_CORE_SOURCES})
  add_custom_command(OUTPUT ${output}
    COMMAND ${VESSANE_HOST_CXX} -std=c++20 -O2 ${VESSANE_FP_FLAGS_ALL}
            -I${PROJECT_SOURCE_DIR}/engine -I${PROJECT_SOURCE_DIR}/form
            -I${PROJECT_SOURCE_DIR}/ui/shared -I${PROJECT_SOURCE_DIR}/tests/sweep
            -I${PROJECT_BINARY_DIR}/generated
            ${ARGN} ${core_sources} -o ${output}
    DEPENDS ${ARGN} ${core_sources}
    COMMENT "Building ${target} for this machine")
  add_custom_target(${target} ALL DEPENDS ${output})
endfunction()
