# Installation and the Debian package: the program and the substitute server,
# the program's desktop entry and icon, and the demo database (for trying the
# tool against wbk-localserver). `cpack -G DEB` in a build folder makes the package.
include(GNUInstallDirs)

foreach(program mehrfachausgabe wbk-localserver)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
  endif()
endforeach()

if(TARGET mehrfachausgabe AND NOT WIN32)
  install(FILES ${CMAKE_SOURCE_DIR}/gui/qt/program/mehrfachausgabe.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT runtime)
  install(FILES ${CMAKE_SOURCE_DIR}/gui/qt/program/mehrfachausgabe.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT runtime)
endif()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/demo/ DESTINATION ${CMAKE_INSTALL_DATADIR}/mehrfachausgabe/demo
        COMPONENT runtime)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/mehrfachausgabe COMPONENT runtime)

set(CPACK_PACKAGE_NAME "mehrfachausgabe")
set(CPACK_PACKAGE_VENDOR "Werkbank")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Mehrfachausgabe der Werkbank: Einzelausgaben, Übersicht, Verknüpfungen")
set(CPACK_PACKAGE_DESCRIPTION "Mehrfachausgabe keeps the Werkbank suite's rules for extra outputs of an \
order (PDF files and printouts) and produces one rule's output for the open order on demand. Includes \
wbk-localserver, the substitute for the suite's local server, and a demo database.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "mehrfachausgabe")
set(CPACK_PACKAGE_CONTACT "Werkbank <werkbank@localhost>")
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR "ZIP")
else()
  set(CPACK_GENERATOR "DEB")
endif()

set(CPACK_DEBIAN_PACKAGE_SECTION "office")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups, poppler-utils")
# The libraries the programs link against are found by dpkg-shlibdeps where it
# is installed (package dpkg-dev); without it the Debian 12 names are listed.
find_program(WB_DPKG_SHLIBDEPS dpkg-shlibdeps)
# Qt's platform plugins are loaded at run time, so no library scan finds them.
if(WB_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libqt6widgets6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4), qt6-qpa-plugins, libicu72, libcups2, libstdc++6, libc6")
endif()

include(CPack)
