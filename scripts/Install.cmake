# Installation: one program folder with the programs and the workspace beside them, and the
# desktop integration (launcher, desktop entry, MIME type for ".psp", icon).
include(GNUInstallDirs)
set(QUILVANE_INSTALL_PROGRAM_DIR "${CMAKE_INSTALL_LIBDIR}/quilvane" CACHE STRING
    "Program folder below the prefix")

set(programs quilvane-cli Tessaline)
if(TARGET Quilvane)
    list(PREPEND programs Quilvane)
endif()
if(TARGET quilvane-print)
    list(APPEND programs quilvane-print)
endif()
install(TARGETS ${programs} RUNTIME DESTINATION ${QUILVANE_INSTALL_PROGRAM_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/workspace/init/ DESTINATION ${QUILVANE_INSTALL_PROGRAM_DIR}/init
        PATTERN "work.json" EXCLUDE)
install(FILES ${CMAKE_BINARY_DIR}/workspace/work.psp DESTINATION ${QUILVANE_INSTALL_PROGRAM_DIR}/init)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/workspace/prob/ DESTINATION ${QUILVANE_INSTALL_PROGRAM_DIR}/prob
        USE_SOURCE_PERMISSIONS)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/workspace/projects/ DESTINATION ${QUILVANE_INSTALL_PROGRAM_DIR})

# The launcher finds the program folder relative to itself, whatever the prefix.
file(RELATIVE_PATH QUILVANE_INSTALLED_DIR "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${QUILVANE_INSTALL_PROGRAM_DIR}")
configure_file(${CMAKE_SOURCE_DIR}/scripts/desktop/quilvane-launcher ${CMAKE_BINARY_DIR}/quilvane @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/quilvane DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/scripts/desktop/quilvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/scripts/desktop/quilvane.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${CMAKE_SOURCE_DIR}/scripts/desktop/quilvane.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "quilvane")
set(CPACK_PACKAGE_VERSION "1.03")
set(CPACK_PACKAGE_CONTACT "Quilvane developers <quilvane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "PSP workbench for programming exercises, with the Tessaline progress report")
set(CPACK_DEBIAN_PACKAGE_SECTION "education")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialogs (choosers, printing, message box buttons) take their Japanese from
# qt6-translations-l10n.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic | fonts-noto-cjk, qt6-translations-l10n, xdg-utils, shared-mime-info")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
include(CPack)
