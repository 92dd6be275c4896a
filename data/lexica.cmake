# The shipped dictionaries: LEXICA*.db built from the frequency lists in
# data/lexica/ (see data/lexica/README.md for their sources and licence).
#   LEXICA_<author>.db  one table per author group
#   LEXICA_completo.db  "completo": all lists added up, with Perseus.tsv (the
#                       word forms of all the Greek texts of Perseus)
#   LEXICA.db           "clasico": the forms that occur at least twice in the
#                       six author groups
set(lexica_dir ${CMAKE_CURRENT_SOURCE_DIR}/lexica)
set(lexica_autores Homero Platon Jenofonte Esopo Aristoteles Tragicos)
set(lexica_listas)
foreach(autor ${lexica_autores})
  set(lista ${lexica_dir}/${autor}.tsv)
  list(APPEND lexica_listas ${lista})
  add_custom_command(OUTPUT ${KALYXON_RUNTIME_DIR}/LEXICA_${autor}.db
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KALYXON_RUNTIME_DIR}
    COMMAND kalyxon_lexica db ${KALYXON_RUNTIME_DIR}/LEXICA_${autor}.db ${autor} ${lista}
    DEPENDS kalyxon_lexica ${lista}
    COMMENT "Building LEXICA_${autor}.db")
  list(APPEND data_outputs ${KALYXON_RUNTIME_DIR}/LEXICA_${autor}.db)
endforeach()
add_custom_command(OUTPUT ${KALYXON_RUNTIME_DIR}/LEXICA_completo.db
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KALYXON_RUNTIME_DIR}
  COMMAND kalyxon_lexica db ${KALYXON_RUNTIME_DIR}/LEXICA_completo.db completo ${lexica_listas}
          ${lexica_dir}/Perseus.tsv
  DEPENDS kalyxon_lexica ${lexica_listas} ${lexica_dir}/Perseus.tsv
  COMMENT "Building LEXICA_completo.db")
add_custom_command(OUTPUT ${KALYXON_RUNTIME_DIR}/LEXICA.db
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KALYXON_RUNTIME_DIR}
  COMMAND kalyxon_lexica db ${KALYXON_RUNTIME_DIR}/LEXICA.db clasico --min 2 ${lexica_listas}
  DEPENDS kalyxon_lexica ${lexica_listas}
  COMMENT "Building LEXICA.db")
list(APPEND data_outputs ${KALYXON_RUNTIME_DIR}/LEXICA_completo.db ${KALYXON_RUNTIME_DIR}/LEXICA.db)

# The dictionaries' attribution and licence travel with them: beside the
# LEXICA*.db files in the build tree, when installed, and in a user's folder.
foreach(par "ATRIBUCION.txt:LEXICA-ATRIBUCION.txt" "LICENSE-CC-BY-SA-4.0.txt:LEXICA-LICENCIA-CC-BY-SA-4.0.txt")
  string(REPLACE ":" ";" par ${par})
  list(GET par 0 origen)
  list(GET par 1 destino)
  add_custom_command(OUTPUT ${KALYXON_RUNTIME_DIR}/${destino}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KALYXON_RUNTIME_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy ${lexica_dir}/${origen} ${KALYXON_RUNTIME_DIR}/${destino}
    DEPENDS ${lexica_dir}/${origen}
    COMMENT "Copying ${destino}")
  list(APPEND data_outputs ${KALYXON_RUNTIME_DIR}/${destino})
  install(FILES ${lexica_dir}/${origen} DESTINATION ${CMAKE_INSTALL_DATADIR}/kalyxon RENAME ${destino})
endforeach()
