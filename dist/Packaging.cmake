# The Debian package (cpack -G DEB): the installation under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kyr7set)
set(CPACK_PACKAGE_VENDOR "KYR7Set developers")
set(CPACK_PACKAGE_CONTACT "KYR7Set developers <support@kyr7.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.kyr7.example")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "setup program for the KYR7 caption and ancillary data encoder")
set(CPACK_PACKAGE_DESCRIPTION
    "KYR7Set sets up a KYR7 encoder over the network, a serial line or a modem. kyr7ctl backs up, compares, \
reports and restores many encoders at once from the command line, and kyr7sim simulates an encoder.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps declares the Qt libraries the programs link; the platform
# plugins are loaded, not linked, so they are named here.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
include(CPack)
