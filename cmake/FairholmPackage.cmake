# make deb: the Debian package of an installation (cpack -G DEB in build/deb, configured
# with the links in games/ as Debian keeps games).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME fairholm)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Fairholm developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3-D golf game for small screens")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://github.com/fairholm/fairholm")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# PLACEHOLDER: the maintainer's address is set when the package is published.
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Fairholm maintainers <maintainers@fairholm.invalid>")
# The synopsis is the summary; the lines below it are the extended description.
set(CPACK_PACKAGE_DESCRIPTION "Greenvale: one player plays rounds of eighteen holes, pars 4, 3 and 5, on
links, parkland, heath, lakes, desert and sea cliffs, with eleven clubs, a
power meter, wind, water and out-of-bounds penalties, an overhead map and a
scorecard. The round in progress is kept and resumed from the main menu.")
include(CPack)
