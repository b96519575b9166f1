# Installation and the Debian package: the program and the substitute server,
# their manual pages, the program's desktop entry and icon, and the demo
# database (for trying the tool against wbk-localserver). `cpack -G DEB` in a
# build folder makes the package; scripts/test checks it with lintian.
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
set(WB_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/mehrfachausgabe)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/packaging/debian/copyright
        DESTINATION ${WB_DOC_DIR} COMPONENT runtime)

# The changelog and the manual pages go in compressed the way Debian keeps
# them: gzip -9 without a name or time stamp, so the same sources give the same
# bytes. The changelog's first entry must be the version being packaged.
file(STRINGS ${CMAKE_SOURCE_DIR}/packaging/debian/changelog wb_changelog_head LIMIT_COUNT 1)
if(NOT wb_changelog_head MATCHES "^mehrfachausgabe \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog: the first entry is not version ${PROJECT_VERSION}: "
                      "${wb_changelog_head}")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/packaging/debian/changelog)

find_program(WB_GZIP gzip)
if(WB_GZIP AND NOT WIN32)
  set(wb_packaged_docs)
  function(wb_gzip_for_package source target)
    add_custom_command(OUTPUT ${target}
                       COMMAND sh -c "\"$1\" -9 -n -c \"$2\" > \"$3\"" gzip ${WB_GZIP} ${source} ${target}
                       DEPENDS ${source} VERBATIM)
    set(wb_packaged_docs ${wb_packaged_docs} ${target} PARENT_SCOPE)
  endfunction()

  set(wb_package_dir ${CMAKE_BINARY_DIR}/package)
  wb_gzip_for_package(${CMAKE_SOURCE_DIR}/packaging/debian/changelog ${wb_package_dir}/changelog.gz)
  install(FILES ${wb_package_dir}/changelog.gz DESTINATION ${WB_DOC_DIR} COMPONENT runtime)
  foreach(program mehrfachausgabe wbk-localserver)
    configure_file(${CMAKE_SOURCE_DIR}/docs/man/${program}.1.in ${wb_package_dir}/${program}.1 @ONLY)
    wb_gzip_for_package(${wb_package_dir}/${program}.1 ${wb_package_dir}/${program}.1.gz)
    install(FILES ${wb_package_dir}/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT runtime)
  endforeach()
  add_custom_target(wb_package_docs ALL DEPENDS ${wb_packaged_docs})
endif()

set(CPACK_PACKAGE_NAME "mehrfachausgabe")
set(CPACK_PACKAGE_VENDOR "Werkbank")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "extra PDF files and printouts of Werkbank orders")
set(CPACK_PACKAGE_DESCRIPTION "The Werkbank business suite keeps orders and their documents. This tool
keeps the suite's rules for extra outputs of an order (PDF files and
printouts with their own layout, printer, paper bin, duplex mode and
copies) and produces one rule's output for the open order on demand. Its
user interface is German.

Includes wbk-localserver, a substitute for the suite's local server that
prints through CUPS, and a demo database.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "mehrfachausgabe")
# The project has no mail domain of its own; .invalid (RFC 2606) can never
# reach a stranger's mailbox.
set(CPACK_PACKAGE_CONTACT "Werkbank <mehrfachausgabe@werkbank.invalid>")
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR "ZIP")
else()
  set(CPACK_GENERATOR "DEB")
endif()

set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
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
