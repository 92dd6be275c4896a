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
