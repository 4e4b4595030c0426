# Packages, made by `cpack` in a build folder:
# - bench build: promcfg-sim, for this machine's architecture: the tool and
#   promcfg-apply, the emulated platform, promsim, manuals and completion;
# - switch build (PROMCFG_PLATFORM_SYSROOT): promcfg and promcfg-apply for
#   the switch's architecture, and the same tree as a tarball for switches
#   without dpkg.
# Versions come from the project version. Lintian's view of them, and why
# each remaining tag stands, is in packaging/lintian-overrides.*.
set(PROMCFG_MAINTAINER "promcfg developers <promcfg-dev@example.com>")
set(PROMCFG_HOMEPAGE "https://promcfg.example.com/")
set(PROMCFG_DEB_VERSION "${PROJECT_VERSION}-1")
string(TIMESTAMP PROMCFG_CHANGELOG_DATE "%a, %d %b %Y 00:00:00 +0000" UTC)

if(PROMCFG_PLATFORM_SYSROOT)
  set(PROMCFG_PACKAGE_NAME promcfg)
  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE powerpc)
  # The platform libraries come with the switch, from no package; the
  # runtimes are the only packaged dependencies.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libgcc-s1 (>= 3.0), libstdc++6 (>= 12)")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "program and inspect the identity PROMs of the switch")
  set(CPACK_PACKAGE_DESCRIPTION
    "promcfg enters and prints the identity data that the switch keeps in its PROMs:\n"
    "Ethernet MACs, WWNs, product and part identifiers, serial numbers, the\n"
    "VPD of blade switch modules and of Kestrel blades. It reaches the PROMs\n"
    "only through the switch's own platform libraries (libswServerApi.so,\n"
    "libfcsmapi.so, libi2cApi.so, libcrcApi.so, libkestrelApi.so), which the\n"
    "switch provides: they are not part of any package. promcfg-apply writes\n"
    "an identity from a file through promcfg and checks what reached the PROM.")
else()
  set(PROMCFG_PACKAGE_NAME promcfg-sim)
  set(CPACK_GENERATOR DEB)
  execute_process(COMMAND dpkg --print-architecture
    OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/lib)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "switch PROM configuration tool on emulated hardware")
  set(CPACK_PACKAGE_DESCRIPTION
    "promcfg enters and prints the identity data that a Fibre Channel switch\n"
    "keeps in its PROMs. This package runs it off the switch, on emulators of\n"
    "the switch's platform libraries that keep each user's PROMs in files\n"
    "under ~/.local/state/promcfg/sim, with promsim to set up and inspect\n"
    "that emulated hardware, and promcfg-apply to write an identity from a\n"
    "file and check it. For benches, training and tests.")
endif()
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")

set(PROMCFG_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/${PROMCFG_PACKAGE_NAME})
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${CMAKE_BINARY_DIR}/packaging/copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz
  COMMAND gzip -9n -c ${CMAKE_BINARY_DIR}/packaging/changelog > ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz
  DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog VERBATIM)
add_custom_target(package_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz)
install(FILES ${CMAKE_BINARY_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz
  DESTINATION ${PROMCFG_DOCDIR})
set(_overrides ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides.${PROMCFG_PACKAGE_NAME})
if(EXISTS ${_overrides})
  install(FILES ${_overrides} DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
    RENAME ${PROMCFG_PACKAGE_NAME})
endif()

set(CPACK_PACKAGE_NAME ${PROMCFG_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR "promcfg developers")
set(CPACK_PACKAGE_CONTACT "${PROMCFG_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROMCFG_HOMEPAGE})
set(CPACK_PACKAGE_FILE_NAME "${PROMCFG_PACKAGE_NAME}_${PROJECT_VERSION}_${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}")
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/packages)
include(CPack)
