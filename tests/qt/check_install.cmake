cmake_minimum_required(VERSION 3.25)

# Installs the build into a scratch prefix and checks that the programs, the launcher,
# the metadata, the icons, the manuals and the package documentation all land where
# desktops and man look for them, under one id.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(id org.vessane.Vessane)
set(expected
  bin/vessane
  bin/vessane-cli
  share/applications/${id}.desktop
  share/metainfo/${id}.metainfo.xml
  share/icons/hicolor/scalable/apps/${id}.svg
  share/man/man1/vessane.1.gz
  share/man/man1/vessane-cli.1.gz
  share/man/fr/man1/vessane.1.gz
  share/man/fr/man1/vessane-cli.1.gz
  share/doc/vessane/copyright
  share/doc/vessane/changelog.Debian.gz)
foreach(size 16 22 24 32 48 64 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/${id}.png)
endforeach()
foreach(file IN LISTS expected)
  if(NOT EXISTS ${PREFIX}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

# The launcher names the installed program and icon.
file(STRINGS ${PREFIX}/share/applications/${id}.desktop lines)
foreach(entry "Exec=vessane" "Icon=${id}")
  if(NOT entry IN_LIST lines)
    message(FATAL_ERROR "${id}.desktop lacks ${entry}")
  endif()
endforeach()
execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${PREFIX}/share/applications/${id}.desktop
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "installed launcher does not validate")
endif()
message(STATUS "installed: ${expected}")
