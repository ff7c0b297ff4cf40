# What `cmake --install` puts where, beside the programs' own install rules:
# the desktop entry, the icon theme pictures, the AppStream data, the manual
# page and the package documents. Their names carry the desktop id
# (cmake/QuorvexConfig.cmake), by which the desktop finds them.
set(desktop_dir ${PROJECT_SOURCE_DIR}/resources/desktop)
set(generated_dir ${PROJECT_BINARY_DIR}/generated/install)

find_program(QUORVEX_GZIP gzip REQUIRED)
find_program(QUORVEX_DATE date REQUIRED)

# The changelog's trailer wants the release date in RFC 2822 form.
execute_process(COMMAND ${QUORVEX_DATE} -u -R -d "${QUORVEX_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE QUORVEX_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)

configure_file(${desktop_dir}/${QUORVEX_DESKTOP_ID}.metainfo.xml.in
               ${generated_dir}/${QUORVEX_DESKTOP_ID}.metainfo.xml @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/resources/man/quorvex.1.in ${generated_dir}/quorvex.1 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/resources/man/quorvex-cli.1.in ${generated_dir}/quorvex-cli.1 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/resources/doc/changelog.in ${generated_dir}/changelog @ONLY)

# Manual pages and the changelog are installed compressed, without a time
# stamp in the header, so the same sources give the same package.
set(compressed)
foreach(document quorvex.1 quorvex-cli.1 changelog)
  add_custom_command(OUTPUT ${generated_dir}/${document}.gz
    COMMAND ${QUORVEX_GZIP} -9 -n -c ${generated_dir}/${document} > ${generated_dir}/${document}.gz
    DEPENDS ${generated_dir}/${document}
    COMMENT "Compressing ${document}")
  list(APPEND compressed ${generated_dir}/${document}.gz)
endforeach()
add_custom_target(quorvex_install_documents ALL DEPENDS ${compressed})

install(FILES ${desktop_dir}/${QUORVEX_DESKTOP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${generated_dir}/${QUORVEX_DESKTOP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${generated_dir}/quorvex.1.gz ${generated_dir}/quorvex-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Named after the package, not the project, as Debian wants.
install(FILES ${PROJECT_SOURCE_DIR}/resources/doc/copyright ${generated_dir}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quorvex)
