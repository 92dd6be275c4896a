include(GNUInstallDirs)
# The indicator pictures of the diacritic buttons and the program icon, painted
# by tools/iconos.cpp into the runtime folder (the buttons load them from
# beside the program) and into a hicolor tree for installing.
if(TARGET kalyxon_iconos)
  set(icon_stems accagu accgra acccir espasp espsuave dieresis iota)
  set(icon_outputs ${KALYXON_RUNTIME_DIR}/kalyxon.png ${KALYXON_RUNTIME_DIR}/kalyxon.ico)
  foreach(stem ${icon_stems})
    list(APPEND icon_outputs ${KALYXON_RUNTIME_DIR}/${stem}1.ico ${KALYXON_RUNTIME_DIR}/${stem}2.ico)
  endforeach()
  set(icon_hicolor ${CMAKE_BINARY_DIR}/icons/hicolor)
  add_custom_command(OUTPUT ${icon_outputs}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:kalyxon_iconos> ${KALYXON_RUNTIME_DIR} ${icon_hicolor}
    DEPENDS kalyxon_iconos
    COMMENT "Painting the icons")
  list(APPEND data_outputs ${icon_outputs})
  install(FILES ${icon_outputs} DESTINATION ${CMAKE_INSTALL_DATADIR}/kalyxon)
  install(DIRECTORY ${icon_hicolor} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()
