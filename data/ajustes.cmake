include(GNUInstallDirs)
# The settings a new user starts with, beside the program: the first start
# copies them to kalyxon.ini when the program folder has no settings yet.
set(ini_inicial ${KALYXON_RUNTIME_DIR}/kalyxon-inicial.ini)
add_custom_command(OUTPUT ${ini_inicial}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/kalyxon-inicial.ini ${ini_inicial}
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/kalyxon-inicial.ini
  COMMENT "Copying the initial settings")
list(APPEND data_outputs ${ini_inicial})
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/kalyxon-inicial.ini
        DESTINATION ${CMAKE_INSTALL_DATADIR}/kalyxon)
