# The menu entry and its icon. The same entry serves for starting at log-in: copied to
# ~/.config/autostart/ it starts the program with the desktop session.
include(GNUInstallDirs)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/sievomatic.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${SIEVOMATIC_SOURCE_DATA_DIR}/icons/sievomatic.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
