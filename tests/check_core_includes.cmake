# The core (engine/ and form/) depends on nothing above it: every quoted include of its
# files names a file of the core itself, and no include reaches for a front end's folder.
# Run as: cmake -DSOURCE_DIR=<root> -P check_core_includes.cmake
file(GLOB core_files ${SOURCE_DIR}/engine/*.h ${SOURCE_DIR}/engine/*.cpp
                     ${SOURCE_DIR}/form/*.h ${SOURCE_DIR}/form/*.cpp)
set(failures "")
foreach(file IN LISTS core_files)
  file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    if(line MATCHES "\"([^\"]+)\"")
      set(name ${CMAKE_MATCH_1})
      # A plain file name of the core: no path can climb out of it.
      if(name MATCHES "[/\\]" OR (NOT EXISTS ${SOURCE_DIR}/engine/${name}
                                    AND NOT EXISTS ${SOURCE_DIR}/form/${name}))
        string(APPEND failures "\n  ${file}: ${line}")
      endif()
    endif()
  endforeach()
endforeach()
if(failures)
  message(FATAL_ERROR "The core includes files from outside engine/ and form/:${failures}")
endif()
list(LENGTH core_files count)
message(STATUS "${count} core files include only the core")
