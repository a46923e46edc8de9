# The Windows installer's description (vessane.wxs, for wixl) and the portable zip's
# notice (LISEZMOI.txt), made for this build's architecture.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VESSANE_MSI_ARCH x64)
  set(VESSANE_MSI_PROGRAM_FILES ProgramFiles64Folder)
  set(VESSANE_MSI_WIN64 yes)
else()
  set(VESSANE_MSI_ARCH x86)
  set(VESSANE_MSI_PROGRAM_FILES ProgramFilesFolder)
  set(VESSANE_MSI_WIN64 no)
endif()
set(VESSANE_MSI_PUBLISHER "Les développeurs de Vessane")

# One upgrade code for every version and architecture, so that a later Vessane replaces
# this one. The other codes are fixed for each version and architecture, so that
# installing the same package again repairs it instead of adding a second product.
set(VESSANE_MSI_UPGRADE_CODE 5F0C7A38-2E6B-4C1D-9A7E-31B4D2C8E905)
foreach(code PRODUCT PACKAGE CLI_COMPONENT WINDOW_COMPONENT LICENSE_COMPONENT)
  string(UUID uuid NAMESPACE ${VESSANE_MSI_UPGRADE_CODE}
         NAME "${PROJECT_VERSION}-${VESSANE_MSI_ARCH}-${code}" TYPE SHA1 UPPER)
  set(VESSANE_MSI_${code}_CODE ${uuid})
endforeach()

# wixl takes relative paths only, from the folder it runs in: this one.
file(RELATIVE_PATH VESSANE_MSI_ICON ${CMAKE_CURRENT_BINARY_DIR} ${PROJECT_BINARY_DIR}/ui/win32/vessane.ico)
file(RELATIVE_PATH VESSANE_MSI_LICENSE ${CMAKE_CURRENT_BINARY_DIR} ${PROJECT_SOURCE_DIR}/LICENSE)
configure_file(${CMAKE_CURRENT_LIST_DIR}/vessane.wxs.in vessane.wxs.in @ONLY)
# The programs' paths are known only at generation time.
file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/vessane.wxs
     INPUT ${CMAKE_CURRENT_BINARY_DIR}/vessane.wxs.in)
configure_file(${CMAKE_CURRENT_LIST_DIR}/LISEZMOI.txt.in LISEZMOI.txt @ONLY NEWLINE_STYLE CRLF)
