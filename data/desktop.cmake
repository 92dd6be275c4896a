# Installing the desktop program: the menu entry, and the shipped databases
# beside the icons and help in <prefix>/share/kalyxon, where the program
# seeds a user's own folder from on first start.
include(GNUInstallDirs)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/kalyxon.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# Whatever databases the build made (ALPHA.db, LEXICA*.db), taken at install
# time so that data added by any part of the build goes along.
install(DIRECTORY ${KALYXON_RUNTIME_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kalyxon
        FILES_MATCHING PATTERN "*.db" PATTERN "help" EXCLUDE)
