# The Debian package's own layout, as component "package": only cpack installs it
# (EXCLUDE_FROM_ALL), so cmake --install keeps the layout above and one build tree serves
# both, whatever prefix it was configured with. Paths are relative to /usr, the package's
# prefix.
set(program_dir lib/games/kavro)
set(share_dir share/games/kavro)
set(doc_dir share/doc/kavro)
set(install_args COMPONENT package EXCLUDE_FROM_ALL)

# The packaged entry starts the program by its full path: a desktop session's PATH need
# not hold /usr/games.
file(READ kavro.desktop entry)
string(REGEX REPLACE "\nExec=kavro\n" "\nExec=/usr/games/kavro\n" entry "${entry}")
set(packaged_entry ${CMAKE_CURRENT_BINARY_DIR}/package/kavro.desktop)
file(CONFIGURE OUTPUT ${packaged_entry}.in CONTENT "${entry}")
kavro_translated_data(desktop ${packaged_entry}.in ${packaged_entry})
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS kavro.desktop)

# Debian wants the manual page and the changelog compressed at the highest level, with no
# name or time stamp inside.
configure_file(changelog.in ${CMAKE_CURRENT_BINARY_DIR}/package/changelog @ONLY)
set(compressed)
foreach(file IN ITEMS ${CMAKE_CURRENT_SOURCE_DIR}/kavro.6 ${CMAKE_CURRENT_BINARY_DIR}/package/changelog)
  cmake_path(GET file FILENAME name)
  set(gz ${CMAKE_CURRENT_BINARY_DIR}/package/${name}.gz)
  add_custom_command(OUTPUT ${gz} COMMAND gzip -9 -n -c ${file} > ${gz} DEPENDS ${file}
                     COMMENT "Compressing ${name} for the package")
  list(APPEND compressed ${gz})
endforeach()
add_custom_target(kavro_package_files ALL DEPENDS ${compressed} ${packaged_entry})

kavro_install_common(${program_dir} ${packaged_entry} package EXCLUDE_FROM_ALL)
install(FILES ${KAVRO_HELP_PAGES} DESTINATION ${share_dir} ${install_args})
foreach(page IN LISTS KAVRO_HELP_PAGES)
  kavro_install_link(${program_dir}/${page} ${share_dir}/${page} package EXCLUDE_FROM_ALL)
endforeach()
kavro_install_link(games/kavro ${program_dir}/kavro package EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/package/kavro.6.gz DESTINATION share/man/man6
        ${install_args})
install(FILES copyright ${CMAKE_CURRENT_BINARY_DIR}/package/changelog.gz DESTINATION ${doc_dir}
        ${install_args})
