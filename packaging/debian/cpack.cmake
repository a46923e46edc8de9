# The Debian package, made by CPack from the install above:
#   cpack -G DEB -B <folder>    (scripts/package.sh)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vessane)
set(CPACK_PACKAGE_VENDOR "Vessane developers")
set(CPACK_PACKAGE_CONTACT "${VESSANE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "coronary heart disease risk calculator (Framingham)")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${CMAKE_CURRENT_LIST_DIR}/description.txt)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # vessane_<version>-1_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # dependencies read from the binaries, and:
# the window is laid out in Liberation Sans where MS Sans Serif is missing; another font
# would make it larger.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
