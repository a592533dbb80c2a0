# Installation into the usual places, and the Debian package (CPack).
#
#   <prefix>/bin/velmora, velmora-cli
#   <prefix>/share/velmora/help.html          (the help command opens it)
#   <prefix>/share/applications/org.velmora.Velmora.desktop
#   <prefix>/share/metainfo/org.velmora.Velmora.metainfo.xml
#   <prefix>/share/icons/hicolor/{16x16..256x256,scalable}/apps/velmora.*
#
# An installed program keeps its data in $XDG_DATA_HOME/velmora (see
# src/core/store/data_folder.h): it knows itself installed by the
# share/velmora folder beside its bin folder.
include(GNUInstallDirs)

install(TARGETS velmora velmora-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/help.html DESTINATION ${CMAKE_INSTALL_DATADIR}/velmora)
install(FILES ${PROJECT_SOURCE_DIR}/resources/org.velmora.Velmora.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/org.velmora.Velmora.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/hicolor/${size}x${size}/apps/velmora.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/velmora.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "The Velmora developers")
set(CPACK_PACKAGE_CONTACT "The Velmora developers <velmora@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Catalogue of music CDs and media files (Japanese interface)")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The icons are SVG (Qt's plugin); playback needs the usual GStreamer
# elements besides the libraries.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Velmora records artists, albums, songs, genres, media and memos,\nsearches and converts them, exports CSV and HTML pages, reads audio\nCDs and plays media files. The interface is Japanese; catalogues are\nShift-JIS files compatible with existing ones.")
include(CPack)
