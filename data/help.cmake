# The help pages, copied into the runtime folder's "help" subfolder. The
# keyboard map's picture is drawn by the program when the page is shown.
include(GNUInstallDirs)
file(GLOB help_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/help/*)
set(help_outputs)
foreach(src ${help_sources})
  get_filename_component(name ${src} NAME)
  set(out ${KALYXON_RUNTIME_DIR}/help/${name})
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${src} ${out}
    DEPENDS ${src})
  list(APPEND help_outputs ${out})
endforeach()
list(APPEND data_outputs ${help_outputs})
install(FILES ${help_sources} DESTINATION ${CMAKE_INSTALL_DATADIR}/kalyxon/help)
