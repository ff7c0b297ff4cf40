# The Debian package, made with `cpack -G DEB` in the build folder from what
# `cmake --install` installs. Its library dependencies come from the
# libraries' own package data (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quorvex Developers")
set(CPACK_PACKAGE_CONTACT "The Quorvex Developers <maintainers@quorvex.example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "remove or replace the adverts of a messenger run with Wine")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Quorvex removes or replaces the adverts of a messenger (versions 8 to 11)\n"
  "installed in a Wine prefix and trims parts of its user interface. It keeps\n"
  "a backup of the messenger's executable and can put it back, with the stock\n"
  "skin files; the three registry settings it changes (multiple instances,\n"
  "launch on start-up, smiley search) are not put back.")
list(JOIN CPACK_DEBIAN_PACKAGE_DESCRIPTION "" CPACK_DEBIAN_PACKAGE_DESCRIPTION)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://${QUORVEX_SITE_HOST}/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The windows' captions fit only in the condensed stand-in fonts; the
# messenger itself runs with Wine, which Quorvex works beside but never needs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-dejavu-extra)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS wine)
include(CPack)
