# zarvo_picture_size_text(TEMPLATE OUTPUT): OUTPUT written at build time from
# TEMPLATE with the picture sizes' table filled in where its markers stand
# (tools/picture_size_text.cpp), so the text offers what the programs take.
function(zarvo_picture_size_text template output)
  add_custom_command(OUTPUT ${output}
    COMMAND picture_size_text ${template} ${output}
    DEPENDS picture_size_text ${template}
    COMMENT "Writing ${output} with the picture sizes" VERBATIM)
endfunction()

# zarvo_install_man_page(TEMPLATE SECTION): the man page written from
# TEMPLATE (NAME.SECTION.in) as above into man/NAME.SECTION of the build
# folder, and installed compressed, as Debian wants it (gzip -n stores no
# name or time, so rebuilds match).
include(GNUInstallDirs)
function(zarvo_install_man_page template section)
  get_filename_component(name ${template} NAME_WLE)
  set(page ${CMAKE_CURRENT_BINARY_DIR}/man/${name})
  zarvo_picture_size_text(${CMAKE_CURRENT_SOURCE_DIR}/${template} ${page})
  add_custom_command(OUTPUT ${page}.gz COMMAND gzip -9nkf ${page} DEPENDS ${page} VERBATIM)
  add_custom_target(man_${name} ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section} COMPONENT zarvo)
endfunction()
