# The Debian package, built by CPack from the install rules of app/, cli/
# and data/:  cmake --build build --target package  (or cpack in build/)
# writes build/turmfinder_<version>_<arch>.deb.
#
# Its dependencies are computed by dpkg-shlibdeps (Debian dpkg-dev) from
# the libraries the programs are linked with (turmcli carries its C++
# runtime, so it needs libc6 only); without dpkg-shlibdeps they are the
# listed ones below.  Qt's platform plugins are loaded at run time, so no
# link line shows them: they are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME turmfinder)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The Maintainer field; a release sets the real address (-DCPACK_PACKAGE_CONTACT=...).
set(CPACK_PACKAGE_CONTACT "Die Turmfinder-Entwickler <turmfinder@example.org>"
    CACHE STRING "the package's Maintainer field")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "look up the radio cells of the German mobile networks")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Turmfinder lists the radio cells (cell towers) of the German mobile\n"
    "networks from a database prepared from the public OpenCelliD data:\n"
    "selections by network type, net, area and cell id, the nearest cells\n"
    "around a cell or a position, and maps in the browser. turmcli prepares\n"
    "and updates the database and runs the same lookups on a terminal.\n"
    "The program is German.")
string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TURM_HOMEPAGE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)

set(turm_depends "qt6-qpa-plugins")
find_program(TURM_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TURM_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  message(STATUS "dpkg-shlibdeps (Debian dpkg-dev) missing: the package lists its dependencies")
  string(PREPEND turm_depends "libc6, libstdc++6, libgcc-s1, libqt6core6, libqt6gui6, libqt6widgets6, ")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${turm_depends}")
# German texts in Qt's own dialogs, the fonts the program asks for, the
# browser for the map links.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-liberation2, xdg-utils")

include(CPack)
