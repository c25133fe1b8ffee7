# The Debian package, made by CPack: `cpack -G DEB` in a build folder
# configured with -DCMAKE_INSTALL_PREFIX=/usr (cmake/build-deb.sh does both).

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qvanto)
set(CPACK_PACKAGE_VENDOR "QVanto developers")
set(CPACK_PACKAGE_CONTACT "QVanto developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "round Japanese date stamp (日付印) for the clipboard")
set(CPACK_PACKAGE_DESCRIPTION
"QVanto composes an electronic date stamp for Japanese office work: a round
red seal split by two lines into bands, with the company and department
above, the date in the middle and the name below. Pressing the stamp button
puts the stamp on the clipboard as a picture and records it in a log.")
set(CPACK_STRIP_FILES ON)

# A Debian package lives in /usr.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries come from dpkg-shlibdeps, Poppler's among them through the PDF
# module in /usr/lib/<triplet>/qvanto; the fonts are loaded by name at run
# time, which no library scan can see. The stamp's faces map to the IPA fonts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-ipafont-mincho")
# Brush and kaisho faces that suit seals; any of them may be chosen per row.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS
    "fonts-kouzan-mouhitsu, fonts-aoyagi-kouzan-t, fonts-aoyagi-soseki, fonts-arphic-ukai, fonts-arphic-gkai00mp")
# Qt's own translations put the standard dialogs in the user's language; the
# program works without them, in English dialogs. The office registry reaches
# PostgreSQL through Qt SQL's driver, a plugin no library scan sees; only a
# desk with a registry configured needs it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, libqt6sql6-psql")

# The program tells an installed copy from a portable one by the bindir
# compiled into it. A package built with another prefix would put the binary
# where it does not know it is installed, and an administrator running it
# would write settings beside it; cmake/CPackChecks.cmake refuses that.
set(CPACK_QVANTO_CONFIGURED_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_LIST_DIR}/CPackChecks.cmake")

include(CPack)
