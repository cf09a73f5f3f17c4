# The Debian package: `cpack -G DEB` in the build folder. Library dependencies
# come from dpkg-shlibdeps; the desktop and MIME databases are refreshed by
# dpkg's own triggers, so the package ships only the source files of both.
set(CPACK_PACKAGE_NAME "korvex")
set(CPACK_PACKAGE_VENDOR "Korvex")
set(KORVEX_PACKAGE_MAINTAINER "Korvex developers <korvex@invalid>" CACHE STRING
    "Maintainer field of the Debian package; a distributor puts a real address here")
set(CPACK_PACKAGE_CONTACT "${KORVEX_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turns stereo photo pairs into anaglyph pictures")
set(CPACK_PACKAGE_DESCRIPTION "Korvex loads a left and a right photograph, or one stereo file
(.jps, .pns, .mpo), aligns them and writes the anaglyph picture for
two-colour 3-D glasses as PNG, JPEG, GIF or TIFF, or prints it.
korvex-compose does the same from the command line.")
set(CPACK_RESOURCE_FILE_LICENSE "${CMAKE_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "graphics")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The toolbar pictures are SVG, drawn by Qt's SVG icon engine: a plugin that a
# scan of the programs' own libraries cannot see.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
# Qt's own translations of the standard dialogs' texts.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")

install(FILES "${CMAKE_SOURCE_DIR}/packaging/copyright"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/korvex")

include(CPack)
