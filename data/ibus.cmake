# The IBus component file, twice: one in the build tree that starts the
# program of the build tree (point IBUS_COMPONENT_PATH at
# <build>/share/ibus/component to try it), and one for installing, which
# starts the installed program. Both start the desktop program in its IBus
# mode, so that one process holds the engine and its windows.
include(GNUInstallDirs)
if(TARGET kalyxon_ibus)
  set(KALYXON_IBUS_EXEC "${KALYXON_RUNTIME_DIR}/kalyxon --backend ibus --ibus")
  set(KALYXON_IBUS_ICON "${KALYXON_RUNTIME_DIR}/kalyxon.png")
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/ibus/kalyxon.xml.in
                 ${CMAKE_BINARY_DIR}/share/ibus/component/kalyxon.xml @ONLY)
  set(KALYXON_IBUS_EXEC "${CMAKE_INSTALL_FULL_BINDIR}/kalyxon --backend ibus --ibus")
  set(KALYXON_IBUS_ICON "${CMAKE_INSTALL_FULL_DATADIR}/kalyxon/kalyxon.png")
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/ibus/kalyxon.xml.in
                 ${CMAKE_CURRENT_BINARY_DIR}/ibus-install/kalyxon.xml @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/ibus-install/kalyxon.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/ibus/component)
endif()
