# zarvo_install_man_page(PAGE SECTION): installs the man page compressed, as
# Debian wants it (gzip -n stores no name or time, so rebuilds match). The copy
# makes CMake configure again when the page changes.
include(GNUInstallDirs)
function(zarvo_install_man_page page section)
  get_filename_component(name ${page} NAME)
  set(copy ${CMAKE_CURRENT_BINARY_DIR}/man/${name})
  configure_file(${page} ${copy} COPYONLY)
  execute_process(COMMAND gzip -9nf ${copy} COMMAND_ERROR_IS_FATAL ANY)
  install(FILES ${copy}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section} COMPONENT zarvo)
endfunction()
