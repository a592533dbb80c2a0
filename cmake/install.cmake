# Installation into the usual places, and the Debian package (CPack).
#
#   <prefix>/bin/velmora, velmora-cli
#   <prefix>/share/velmora/help.html          (the help command opens it)
#   <prefix>/share/applications/org.velmora.Velmora.desktop
#   <prefix>/share/metainfo/org.velmora.velmora.metainfo.xml
#   <prefix>/share/icons/hicolor/{16x16..256x256,scalable}/apps/velmora.*
#   <prefix>/share/man/man1/velmora.1.gz, velmora-cli.1.gz
#   <prefix>/share/doc/velmora/copyright, changelog.gz (a native package)
#
# VELMORA_MAINTAINER names the package's maintainer (name and address);
# VELMORA_HOMEPAGE (see the top CMakeLists.txt) the home page in the
# package, the AppStream file and the about box.
#
# An installed program keeps its data in $XDG_DATA_HOME/velmora (see
# src/core/store/data_folder.h): it knows itself installed by the
# share/velmora folder beside its bin folder.
include(GNUInstallDirs)

install(TARGETS velmora velmora-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/help.html DESTINATION ${CMAKE_INSTALL_DATADIR}/velmora)
install(FILES ${PROJECT_SOURCE_DIR}/resources/org.velmora.Velmora.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
set(VELMORA_MAINTAINER "Velmora Packaging Team <packages@velmora.org>"
    CACHE STRING "Maintainer of the Debian package: name <address>")

# Files that name the version, the home page or the maintainer, and the
# compressed ones Debian's policy asks for (gzip -n: no time stamp).
set(velmora_generated ${PROJECT_BINARY_DIR}/package-files)
file(MAKE_DIRECTORY ${velmora_generated})
file(READ ${PROJECT_SOURCE_DIR}/resources/org.velmora.Velmora.metainfo.xml velmora_metainfo)
string(REPLACE "https://velmora.org/" "${VELMORA_HOMEPAGE}" velmora_metainfo "${velmora_metainfo}")
# Installed under the component's id, which AppStream wants in lower case.
file(WRITE ${velmora_generated}/org.velmora.velmora.metainfo.xml "${velmora_metainfo}")
install(FILES ${velmora_generated}/org.velmora.velmora.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(VERSION ${PROJECT_VERSION})
set(MAINTAINER ${VELMORA_MAINTAINER})
set(HOMEPAGE ${VELMORA_HOMEPAGE})
find_program(VELMORA_GZIP gzip REQUIRED)
foreach(page velmora.1 velmora-cli.1)
  configure_file(${PROJECT_SOURCE_DIR}/resources/man/${page} ${velmora_generated}/${page} @ONLY)
  execute_process(COMMAND ${VELMORA_GZIP} -9nf ${velmora_generated}/${page})
  install(FILES ${velmora_generated}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/resources/debian/copyright ${velmora_generated}/copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/resources/debian/changelog ${velmora_generated}/changelog @ONLY)
execute_process(COMMAND ${VELMORA_GZIP} -9nf ${velmora_generated}/changelog)
install(FILES ${velmora_generated}/copyright ${velmora_generated}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmora)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/hicolor/${size}x${size}/apps/velmora.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/velmora.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "The Velmora developers")
set(CPACK_PACKAGE_CONTACT "${VELMORA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VELMORA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VELMORA_HOMEPAGE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Catalogue of music CDs and media files (Japanese interface)")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The icons are SVG (Qt's plugin) and every text is Japanese: a Japanese
# font is needed. Qt's own dialogs speak Japanese with Qt's catalogues;
# playback needs the usual GStreamer elements besides the libraries, and
# readings that fill themselves a MeCab dictionary (UniDic reads artist
# names best).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, fonts-noto-cjk | fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-translations-l10n, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, xdg-utils, unidic-mecab | mecab-ipadic-utf8")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Velmora records artists, albums, songs, genres, media and memos,\nsearches and converts them, exports CSV and HTML pages, reads audio\nCDs and plays media files. The interface is Japanese; catalogues are\nShift-JIS files compatible with existing ones.")
include(CPack)
