# What `cmake --install` (and so the Debian package) puts where: the two programs in
# the program folder, the file server alone in a folder of its own (the one file that
# gets a capability), the read-only data beside the other data of the system, and the
# desktop's menu entry, icons, metainfo, manuals and firewall definitions.
set(FK_DIST ${CMAKE_SOURCE_DIR}/dist/linux)

install(TARGETS fieldkit-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS FileServer RUNTIME DESTINATION ${FK_INSTALL_LIBEXECDIR})
if(FK_BUILD_UI)
  install(TARGETS fieldkit RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

foreach(folder ${FK_DATA_FOLDERS})
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/${folder} DESTINATION ${FK_INSTALL_DATADIR})
endforeach()
foreach(file ${FK_DATA_FILES})
  install(FILES ${CMAKE_SOURCE_DIR}/${file} DESTINATION ${FK_INSTALL_DATADIR})
endforeach()

install(FILES ${FK_DIST}/org.fieldkit.Fieldkit.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${FK_DIST}/org.fieldkit.Fieldkit.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48 64 128 256)
  install(FILES ${FK_DIST}/icons/${size}/fieldkit.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
# The command line's manual is written from its own --help, so it lists every
# subcommand it has.
set(FK_CLI_MANUAL ${CMAKE_BINARY_DIR}/fieldkit-cli.1)
add_custom_command(OUTPUT ${FK_CLI_MANUAL}
  COMMAND bash ${FK_DIST}/cli-manual.sh $<TARGET_FILE:fieldkit-cli> ${FK_DIST}/fieldkit-cli.1.in
    ${PROJECT_VERSION} ${FK_CLI_MANUAL}
  DEPENDS fieldkit-cli ${FK_DIST}/fieldkit-cli.1.in ${FK_DIST}/cli-manual.sh
  COMMENT "Writing fieldkit-cli(1) from its help")
add_custom_target(fieldkit_cli_manual ALL DEPENDS ${FK_CLI_MANUAL})
install(FILES ${FK_DIST}/fieldkit.1 ${FK_CLI_MANUAL} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${FK_DIST}/ufw/fieldkit
  DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/ufw/applications.d)
install(FILES ${FK_DIST}/firewalld/fieldkit.xml DESTINATION lib/firewalld/services)
