# Installing Verko like any Linux program (`cmake --install build [--prefix DIR]`) and its
# Debian package (`cpack -G DEB` in the build folder).
#
# The installed tree:
#   bin/verko, bin/verko-cli
#   share/verko/VerkoHelp.html, share/verko/VerkoBatchList.mdb (the empty batch lists the
#     user's own database is made from)
#   share/applications/, share/icons/hicolor/scalable/apps/, share/metainfo/: the desktop
#     entry, its icon and its software-centre description
#   share/man/man1/, share/man/ja/man1/: the manual pages in English and Japanese
# The programs find their files relative to themselves, so the tree works under any prefix.
include(GNUInstallDirs)

set(VERKO_APP_ID io.github.verko.Verko)
set(VERKO_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/verko)

# The programs look for their delivered files beside themselves (the build folder), else in
# this folder relative to their own.
file(RELATIVE_PATH VERKO_DATA_FROM_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${VERKO_INSTALL_DATADIR})
set_property(SOURCE ${CMAKE_SOURCE_DIR}/common/program_files.cpp APPEND PROPERTY
             COMPILE_DEFINITIONS VERKO_DATA_FROM_PROGRAM="${VERKO_DATA_FROM_PROGRAM}/")

install(TARGETS verko-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${VERKO_BATCH_LIST_DB} DESTINATION ${VERKO_INSTALL_DATADIR})
install(FILES ${CMAKE_SOURCE_DIR}/doc/man/verko-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/doc/man/ja/verko-cli.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/ja/man1)

if(TARGET verko)
  install(TARGETS verko RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_SOURCE_DIR}/help/VerkoHelp.html DESTINATION ${VERKO_INSTALL_DATADIR})
  install(FILES ${CMAKE_SOURCE_DIR}/desktop/${VERKO_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/desktop/${VERKO_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  configure_file(${CMAKE_SOURCE_DIR}/desktop/${VERKO_APP_ID}.metainfo.xml.in
                 ${CMAKE_BINARY_DIR}/${VERKO_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/${VERKO_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${CMAKE_SOURCE_DIR}/doc/man/verko.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_SOURCE_DIR}/doc/man/ja/verko.1
          DESTINATION ${CMAKE_INSTALL_MANDIR}/ja/man1)
endif()

# The Debian package: verko_<version>_<arch>.deb, its library dependencies worked out by
# dpkg-shlibdeps; a Japanese font (the windows and the help are in Japanese) and Qt's
# Japanese translations (for Qt's own dialogs and menus) are recommended.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME verko)
set(CPACK_PACKAGE_VENDOR Molvanex)
set(CPACK_PACKAGE_CONTACT "Molvanex")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "compare an old and a new text file line by line")
set(CPACK_PACKAGE_DESCRIPTION
    "Verko compares an old and a new text file (code page 932, Shift_JIS) line by line and\n\
writes a plain-text result report: every line marked common, deleted, added or moved,\n\
with its line numbers in both files, an optional difference-only mode and statistics of\n\
lines and words. It has a desktop program (verko) with named batch lists of file pairs\n\
and a terminal program (verko-cli).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-noto-cjk | fonts-ipafont-gothic | fonts-vlgothic, qt6-translations-l10n")
include(CPack)
