# Builds a program for the machine that runs the build, beside a cross-built one
# (Windows, WebAssembly), so that the two builds' outputs can be compared, or so that the
# build can run it.
#   vessane_add_host_program(<target> <output file> [WITH_CORE] SOURCES <sources>...)
# WITH_CORE adds the core's sources. Each source is compiled on its own with a depfile,
# so that an edited header it includes rebuilds it, as for the build's own targets.
find_program(VESSANE_HOST_CXX NAMES c++ g++ REQUIRED)

function(vessane_add_host_program target output)
  cmake_parse_arguments(PARSE_ARGV 2 arg "WITH_CORE" "" "SOURCES")
  set(sources ${arg_SOURCES})
  if(arg_WITH_CORE)
    list(APPEND sources ${VESSANE_CORE_SOURCES})
  endif()
  set(flags -std=c++20 -O2 ${VESSANE_FP_FLAGS_ALL}
            -I${PROJECT_SOURCE_DIR}/engine -I${PROJECT_SOURCE_DIR}/form
            -I${PROJECT_SOURCE_DIR}/ui/shared -I${PROJECT_SOURCE_DIR}/tests/sweep
            -I${PROJECT_BINARY_DIR}/generated)
  set(objects "")
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/${target}.dir)
  foreach(source IN LISTS sources)
    file(RELATIVE_PATH name ${PROJECT_SOURCE_DIR} ${source})
    string(MAKE_C_IDENTIFIER "${name}" name)
    set(object ${CMAKE_CURRENT_BINARY_DIR}/${target}.dir/${name}.o)
    add_custom_command(OUTPUT ${object}
      COMMAND ${CMAKE_CXX_COMPILER_LAUNCHER} ${VESSANE_HOST_CXX} ${flags} -MD -MF ${object}.d -c ${source} -o ${object}
      DEPENDS ${source}
      DEPFILE ${object}.d
      COMMENT "Compiling ${name} for this machine")
    list(APPEND objects ${object})
  endforeach()
  add_custom_command(OUTPUT ${output}
    COMMAND ${VESSANE_HOST_CXX} ${objects} -o ${output}
    DEPENDS ${objects}
    COMMENT "Linking ${target} for this machine")
  add_custom_target(${target} ALL DEPENDS ${output})
endfunction()
