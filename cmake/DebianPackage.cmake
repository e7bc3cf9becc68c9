# The Debian package, made by CPack from the install rules:
# cpack -G DEB --config build/native/CPackConfig.cmake -> zarvo_<version>_amd64.deb
include(GNUInstallDirs)

# Debian wants the licence as /usr/share/doc/<package>/copyright and a
# compressed changelog beside it; both are made at configure time from the
# tree; string(TIMESTAMP) takes SOURCE_DATE_EPOCH's date when it is set, so
# that rebuilds give the same bytes.
set(zarvo_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/zarvo)
set(zarvo_package_dir ${PROJECT_BINARY_DIR}/package)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE zarvo_license)
file(WRITE ${zarvo_package_dir}/copyright
  "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
  "Upstream-Name: Zarvo\n\nFiles: *\nCopyright: 2026 Zarvo's authors\nLicense: Expat\n")
string(REGEX REPLACE "\n\n" "\n.\n" zarvo_license_body "${zarvo_license}")
string(REGEX REPLACE "\n([^\n])" "\n \\1" zarvo_license_body "${zarvo_license_body}")
file(APPEND ${zarvo_package_dir}/copyright "\nLicense: Expat\n ${zarvo_license_body}")
string(TIMESTAMP zarvo_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE ${zarvo_package_dir}/changelog
  "zarvo (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
  "  * Release ${PROJECT_VERSION}.\n\n"
  " -- ${ZARVO_MAINTAINER}  ${zarvo_date}\n")
execute_process(COMMAND gzip -9nf ${zarvo_package_dir}/changelog)
install(FILES ${zarvo_package_dir}/copyright ${zarvo_package_dir}/changelog.gz
        DESTINATION ${zarvo_doc_dir} COMPONENT zarvo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zarvo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Zarvo developers")
set(CPACK_PACKAGE_CONTACT "${ZARVO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "night courtyard screen saver for XScreenSaver")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "A large 256-colour night picture of a courtyard around a central building,\n"
  "seen at a slant from a high gallery, with crowds that circle the building,\n"
  "figures that walk up the walkways and a seated crowd that stirs. zarvo runs\n"
  "in a window, full screen or as an XScreenSaver hack, and zarvo-render draws\n"
  "the scene into PNG files or an animated GIF.")
if(TARGET zarvo_settings)
  string(APPEND CPACK_PACKAGE_DESCRIPTION
    "\nzarvo-settings changes the settings in a window with a live preview.")
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xscreensaver)
set(CPACK_STRIP_FILES ON)
set(CPACK_SET_DESTDIR OFF)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};Zarvo;zarvo;/")
include(CPack)
