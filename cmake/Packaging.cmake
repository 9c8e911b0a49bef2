# make package: a Debian package of the four programs with their manual pages,
# the desktop entry, icon, AppStream metainfo and the bash completion.
# Depends comes from dpkg-shlibdeps (the libraries the programs link) plus
# what they load at run time without linking it.

set(LEDSIGN_PACKAGE_MAINTAINER "ledsign <ledsign@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

# Debian wants manual pages and the changelog compressed with gzip -9n.
set(compressed "")
foreach(page ledsign ledsign-cli ledsign-card)
  set(out ${PROJECT_BINARY_DIR}/man/${page}.1.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/data/man/${page}.1 > ${out}
    DEPENDS ${PROJECT_SOURCE_DIR}/data/man/${page}.1 VERBATIM)
  list(APPEND compressed ${out})
  install(FILES ${out} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
set(service_page ${PROJECT_BINARY_DIR}/man/ledsignd.8.gz)
add_custom_command(OUTPUT ${service_page}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
  COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/data/man/ledsignd.8 > ${service_page}
  DEPENDS ${PROJECT_SOURCE_DIR}/data/man/ledsignd.8 VERBATIM)
list(APPEND compressed ${service_page})
install(FILES ${service_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man8)
set(changelog ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${changelog}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
  COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/data/packaging/changelog > ${changelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/data/packaging/changelog VERBATIM)
list(APPEND compressed ${changelog})
add_custom_target(ledsign_compressed_docs ALL DEPENDS ${compressed})

install(FILES data/org.example.ledsign.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/bash-completion/ledsign-cli DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES data/packaging/copyright ${changelog} DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ledsign)
set(CPACK_PACKAGE_VENDOR "ledsign")
set(CPACK_PACKAGE_CONTACT "${LEDSIGN_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor and loader for LED display controller cards")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "ledsign composes playbills of pages, regions, texts, clocks, timers, tables
and pictures for LED display controller cards and sends them over the
network, a serial or RS-485 line, or writes them to a USB disk.
.
The package holds the desktop editor ledsign, the command-line program
ledsign-cli for scripts, the service ledsignd with its HTTP API, fleet page
and MQTT bridge, and ledsign-card, a virtual card for trying them without
hardware.")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, not linked: the Qt platform plugins (xcb, offscreen),
# the SVG icon loader and the fonts the card fonts map to.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, libqt6svg6, fonts-wqy-zenhei, fonts-arphic-uming, fonts-arphic-ukai, fonts-liberation2, fonts-dejavu-core, fonts-dejavu-extra, fonts-crosextra-carlito, fonts-crosextra-caladea")
# postinst makes the service's system user from its sysusers.d file.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/data/packaging/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)
