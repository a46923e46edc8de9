# Reads cmake/core_sources.txt and cmake/exact_fp_flags.txt, the one list of the core's
# sources and the one set of floating-point flags that every build uses.
#   VESSANE_CORE_SOURCES            absolute paths of every core source
#   VESSANE_ENGINE_SOURCES, VESSANE_FORM_SOURCES   the same, by folder
#   VESSANE_FP_FLAGS_ALL, VESSANE_FP_FLAGS_X86     the flags, as lists
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/core_sources.txt listed REGEX "^[^#]")
set(VESSANE_CORE_SOURCES "")
set(VESSANE_ENGINE_SOURCES "")
set(VESSANE_FORM_SOURCES "")
foreach(path IN LISTS listed)
  if(NOT EXISTS ${PROJECT_SOURCE_DIR}/${path})
    message(FATAL_ERROR "cmake/core_sources.txt lists ${path}, which does not exist")
  endif()
  list(APPEND VESSANE_CORE_SOURCES ${PROJECT_SOURCE_DIR}/${path})
  if(path MATCHES "^engine/")
    list(APPEND VESSANE_ENGINE_SOURCES ${PROJECT_SOURCE_DIR}/${path})
  else()
    list(APPEND VESSANE_FORM_SOURCES ${PROJECT_SOURCE_DIR}/${path})
  endif()
endforeach()
# A source of the core that the list forgets would be left out of some builds.
file(GLOB present RELATIVE ${PROJECT_SOURCE_DIR} CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/engine/*.cpp ${PROJECT_SOURCE_DIR}/form/*.cpp)
foreach(path IN LISTS present)
  if(NOT path IN_LIST listed)
    message(FATAL_ERROR "${path} is missing from cmake/core_sources.txt")
  endif()
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_LIST_DIR}/core_sources.txt ${CMAKE_CURRENT_LIST_DIR}/exact_fp_flags.txt)

file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/exact_fp_flags.txt all_line REGEX "^all:")
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/exact_fp_flags.txt x86_line REGEX "^x86:")
string(REGEX REPLACE "^all: *" "" all_line "${all_line}")
string(REGEX REPLACE "^x86: *" "" x86_line "${x86_line}")
separate_arguments(VESSANE_FP_FLAGS_ALL UNIX_COMMAND "${all_line}")
separate_arguments(VESSANE_FP_FLAGS_X86 UNIX_COMMAND "${x86_line}")
