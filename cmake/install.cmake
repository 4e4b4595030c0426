# Install rules, to any prefix and any DESTDIR.
#
# Bench build (emulated platform): promcfg, promcfg-apply and promsim in
# bin, where every user's PATH finds them; the emulator libraries in a folder
# of their own (LIBDIR/promcfg) so that they never shadow the switch's
# libraries on a machine that has them. Binaries find them through a RUNPATH
# relative to themselves, so an installed or staged tree runs where it lies.
#
# Switch build (PROMCFG_PLATFORM_SYSROOT): the switch tools in sbin, where
# the administrator's PATH finds them (promcfg-apply beside promcfg, which
# it runs), with their manuals; the switch provides the platform libraries,
# and there is no promsim.
include(GNUInstallDirs)

set(PROMCFG_EMULATOR_LIBDIR ${CMAKE_INSTALL_LIBDIR}/promcfg)

# Every manual page and completion script is installed gzipped or as it is,
# as Debian's policy asks of manuals.
function(promcfg_install_manual source section)
  get_filename_component(name ${source} NAME)
  set(gz ${CMAKE_BINARY_DIR}/man/${name}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9n -c ${source} > ${gz}
    DEPENDS ${source} VERBATIM)
  add_custom_target(manual_${name} ALL DEPENDS ${gz})
  install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()

if(PROMCFG_PLATFORM_SYSROOT)
  install(TARGETS promcfg promcfg-apply RUNTIME DESTINATION ${CMAKE_INSTALL_SBINDIR})
  promcfg_install_manual(${PROJECT_SOURCE_DIR}/docs/man/promcfg.8 8)
  promcfg_install_manual(${PROJECT_SOURCE_DIR}/docs/man/promcfg-apply.8 8)
  return()
endif()

file(RELATIVE_PATH _bin_to_libs /${CMAKE_INSTALL_BINDIR} /${PROMCFG_EMULATOR_LIBDIR})
set_target_properties(promcfg promsim PROPERTIES INSTALL_RPATH "$ORIGIN/${_bin_to_libs}")
set_target_properties(swServerApi fcsmapi kestrelApi i2cApi crcApi PROPERTIES INSTALL_RPATH "$ORIGIN")

install(TARGETS promcfg promcfg-apply promsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS swServerApi fcsmapi kestrelApi i2cApi crcApi
  LIBRARY DESTINATION ${PROMCFG_EMULATOR_LIBDIR} NAMELINK_SKIP)
promcfg_install_manual(${PROJECT_SOURCE_DIR}/docs/man/promcfg.8 8)
promcfg_install_manual(${PROJECT_SOURCE_DIR}/docs/man/promcfg-apply.8 8)
promcfg_install_manual(${PROJECT_SOURCE_DIR}/docs/man/promsim.1 1)
# Where the emulated libraries keep the fields promcfg-apply reads back;
# promcfg-apply finds it from bin/ through ../share/promcfg.
install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/promcfg-apply.layout
  DESTINATION ${CMAKE_INSTALL_DATADIR}/promcfg)
install(FILES ${PROJECT_SOURCE_DIR}/completion/promcfg ${PROJECT_SOURCE_DIR}/completion/promcfg-apply
  ${PROJECT_SOURCE_DIR}/completion/promsim
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
