# Installing Verko like any Linux program (`cmake --install build [--prefix DIR]`) and its
# Debian package (`cpack -G DEB` in the build folder).
#
# The installed tree:
#   bin/verko, bin/verko-cli
#   share/verko/VerkoHelp.html, share/verko/VerkoBatchList.mdb (the empty batch lists the
#     user's own database is made from)
#   share/applications/, share/icons/hicolor/scalable/apps/, share/metainfo/: the desktop
#     entry, its icon and its software-centre description
#   share/man/man1/, share/man/ja/man1/: the manual pages in English and Japanese, compressed
#   share/doc/verko/: the copyright and licence (in Debian's machine-readable form), the
#     layout of the JSON result (comparison-json.md) and the package's change log; share/lintian/overrides/verko: what lintian need not report
# The programs find their files relative to themselves, so the tree works under any prefix.
include(GNUInstallDirs)

set(VERKO_APP_ID io.github.verko.Verko)
set(VERKO_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/verko)
set(VERKO_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/verko)
set(VERKO_MAINTAINER "The Verko developers <verko@example.org>" CACHE STRING
    "Name and e-mail address of the Debian package's maintainer")
# The day of this release, as the Debian change log writes it (the metainfo names it too).
set(VERKO_RELEASE_DATE "Mon, 07 Dec 2026 00:00:00 +0000")
# The package's own revision of this version.
set(VERKO_DEBIAN_REVISION 1)
set(VERKO_DEBIAN_VERSION ${PROJECT_VERSION}-${VERKO_DEBIAN_REVISION})

find_program(VERKO_GZIP gzip REQUIRED)
# Installs FILE compressed as NAME.gz into DESTINATION, compressed as the program is built
# (gzip -9n: the same bytes every build, no name or time stamp inside).
function(verko_install_gzipped file name destination)
  set(copy ${CMAKE_BINARY_DIR}/gzipped/${destination}/${name})
  add_custom_command(
    OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${file} ${copy}
    COMMAND ${VERKO_GZIP} -9nf ${copy}
    DEPENDS ${file}
    VERBATIM)
  string(MAKE_C_IDENTIFIER "gzip_${destination}_${name}" target)
  add_custom_target(${target} ALL DEPENDS ${copy}.gz)
  install(FILES ${copy}.gz DESTINATION ${destination})
endfunction()
# The manual page NAME.1, in English and in Japanese.
function(verko_install_man_page name)
  verko_install_gzipped(${CMAKE_SOURCE_DIR}/doc/man/${name}.1 ${name}.1
                        ${CMAKE_INSTALL_MANDIR}/man1)
  verko_install_gzipped(${CMAKE_SOURCE_DIR}/doc/man/ja/${name}.1 ${name}.1
                        ${CMAKE_INSTALL_MANDIR}/ja/man1)
endfunction()

# The programs look for their delivered files beside themselves (the build folder), else in
# this folder relative to their own.
file(RELATIVE_PATH VERKO_DATA_FROM_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${VERKO_INSTALL_DATADIR})
set_property(SOURCE ${CMAKE_SOURCE_DIR}/common/program_files.cpp APPEND PROPERTY
             COMPILE_DEFINITIONS VERKO_DATA_FROM_PROGRAM="${VERKO_DATA_FROM_PROGRAM}/")

install(TARGETS verko-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${VERKO_BATCH_LIST_DB} DESTINATION ${VERKO_INSTALL_DATADIR})
verko_install_man_page(verko-cli)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/debian/copyright DESTINATION ${VERKO_INSTALL_DOCDIR})
install(FILES ${CMAKE_SOURCE_DIR}/doc/comparison-json.md DESTINATION ${VERKO_INSTALL_DOCDIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME verko)
configure_file(${CMAKE_SOURCE_DIR}/packaging/debian/changelog.in
               ${CMAKE_BINARY_DIR}/packaging/changelog.Debian @ONLY)
verko_install_gzipped(${CMAKE_BINARY_DIR}/packaging/changelog.Debian changelog.Debian
                      ${VERKO_INSTALL_DOCDIR})

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
  verko_install_man_page(verko)
endif()

# The Debian package: verko_<version>-<revision>_<arch>.deb, its library dependencies worked
# out by dpkg-shlibdeps and, for those loaded on first use, declared below; a
# Japanese font (the windows and the help are in Japanese) and Qt's
# Japanese translations (for Qt's own dialogs and menus) are recommended.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME verko)
set(CPACK_PACKAGE_VENDOR Molvanex)
set(CPACK_PACKAGE_CONTACT ${VERKO_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${VERKO_DEBIAN_REVISION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "compare an old and a new text file line by line")
# The description's lines stay within 80 columns, as Debian's tools show them.
set(CPACK_PACKAGE_DESCRIPTION
    "Verko compares an old and a new text file line by line and writes a plain-text\n\
result report: every line marked common, deleted, added or moved, with its line\n\
numbers in both files, an optional difference-only mode and statistics of lines\n\
and words. The files may be in CP932 (Shift_JIS), UTF-8 or EUC-JP. It has a\n\
desktop program (verko) with named batch lists of file pairs and a terminal\n\
program (verko-cli).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded when first needed rather than linked, so dpkg-shlibdeps does not see them: the
# versions that have every function the program looks up (sqlite3_system_errno,
# onig_set_retry_limit_in_search; libxlsxwriter4, which writes the Excel 新旧対照表, as
# dpkg-shlibdeps found it when it was linked; ICU of the major version built against, whose
# soname and symbols carry that version).
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libsqlite3-0 (>= 3.12.0), libonig5 (>= 6.9.5), libxlsxwriter4 (>= 1.1.4), libicu${VERKO_ICU_MAJOR}")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-noto-cjk | fonts-ipafont-gothic | fonts-vlgothic, qt6-translations-l10n")
include(CPack)
