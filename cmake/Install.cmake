# Installed layout: the programs, the skin engine module and the skins stand
# together in lib/rosgen (they find each other beside the program file);
# bin/ holds links to the two programs.
include(GNUInstallDirs)
set(ROSGEN_APP_DIR lib/rosgen)

install(TARGETS rosgen RUNTIME DESTINATION ${ROSGEN_APP_DIR})
set(rosgen_programs rosgen)
if(TARGET rosgen-gui)
  install(TARGETS rosgen-gui RUNTIME DESTINATION ${ROSGEN_APP_DIR})
  list(APPEND rosgen_programs rosgen-gui)
endif()
if(TARGET skinh_el)
  install(TARGETS skinh_el LIBRARY DESTINATION ${ROSGEN_APP_DIR})
endif()
if(EXISTS ${PROJECT_SOURCE_DIR}/skins)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/skins/ DESTINATION ${ROSGEN_APP_DIR}/skins FILES_MATCHING PATTERN "*.she")
endif()
foreach(program IN LISTS rosgen_programs)
  install(CODE "
    set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(REMOVE \"\${link}\")
    file(CREATE_LINK \"../${ROSGEN_APP_DIR}/${program}\" \"\${link}\" SYMBOLIC)
  ")
endforeach()

# The web edition, when it has been built (web preset): one file, copied as it is.
set(ROSGEN_WEB_HTML "" CACHE FILEPATH "The web edition's rosgen.html to install under share/rosgen; empty: none")
if(ROSGEN_WEB_HTML)
  install(FILES ${ROSGEN_WEB_HTML} DESTINATION ${CMAKE_INSTALL_DATADIR}/rosgen)
endif()

# The data the program was built from, with where it comes from.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/rosgen/data)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/rosgen.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/rosgen.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The manual page, compressed as Debian keeps them (no name or time stamp in it), and the bash completion.
install(CODE "
  set(man1 \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_MANDIR}/man1\")
  file(MAKE_DIRECTORY \"\${man1}\")
  execute_process(COMMAND gzip -9nc \"${PROJECT_SOURCE_DIR}/docs/rosgen.1\" OUTPUT_FILE \"\${man1}/rosgen.1.gz\"
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR \"gzip could not compress the manual page\")
  endif()
")
install(FILES ${PROJECT_SOURCE_DIR}/packaging/rosgen.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME rosgen)

set(CPACK_PACKAGE_NAME rosgen)
set(CPACK_PACKAGE_VENDOR rosgen)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "MikroTik RouterOS script generator (2.9.x, 3.x and 7.x)")
set(CPACK_PACKAGE_DESCRIPTION
    "Fill in a form, press a button, and paste the RouterOS script it writes into the router's terminal. Every task page writes scripts for RouterOS 7 (all but the WireGuard page for RouterOS 2.9.x/3.x too), and RouterOS 7 scripts are checked against RouterOS 7's command tree and default configuration.")
set(CPACK_PACKAGE_CONTACT "rosgen <rosgen@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialog buttons (OK, Cancel) in Chinese come from the translations package.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei, qt6-translations-l10n")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
include(CPack)
