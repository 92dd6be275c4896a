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

# The page "Guía" is made from the user guide at every build, so the help and
# the guide never disagree. Its keyboard map is the live one the help window
# draws; the other pictures it shows are copied beside it.
if(TARGET kalyxon_guiahtml)
  set(guia_md ${PROJECT_SOURCE_DIR}/docs/guia.md)
  set(guia_html ${KALYXON_RUNTIME_DIR}/help/guia.html)
  add_custom_command(OUTPUT ${guia_html}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KALYXON_RUNTIME_DIR}/help
    COMMAND kalyxon_guiahtml ${guia_md} ${guia_html} ayuda-mapa-teclado.png=mapa_teclado.png
    DEPENDS kalyxon_guiahtml ${guia_md}
    COMMENT "Making the help page guia.html from docs/guia.md")
  set(guia_pictures ${PROJECT_SOURCE_DIR}/docs/ventana-principal.png ${PROJECT_SOURCE_DIR}/docs/ventana-conversion.png)
  foreach(src ${guia_pictures})
    get_filename_component(name ${src} NAME)
    set(out ${KALYXON_RUNTIME_DIR}/help/${name})
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${src} ${out}
      DEPENDS ${src})
    list(APPEND data_outputs ${out})
  endforeach()
  list(APPEND data_outputs ${guia_html})
  install(FILES ${guia_html} ${guia_pictures} DESTINATION ${CMAKE_INSTALL_DATADIR}/kalyxon/help)
endif()
