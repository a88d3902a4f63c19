# `cpack -G DEB` in the build folder makes klconfig_<version>_<arch>.deb from
# the install rules. The shared-library dependencies come from
# dpkg-shlibdeps; what the program loads at run time is declared by hand.
set(CPACK_PACKAGE_NAME klconfig)
set(CPACK_PACKAGE_VENDOR "klconfig")
# The package's maintainer, also the changelog's signature: an office that
# builds its own package names itself here.
set(KL_PACKAGE_CONTACT "klconfig <klconfig@example.com>" CACHE STRING
  "Maintainer of the Debian package, \"Name <address>\"")
set(CPACK_PACKAGE_CONTACT "${KL_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "configuración del módulo contable: empresa, impuestos, cuentas, ejercicios")
set(CPACK_PACKAGE_DESCRIPTION [[
La herramienta de configuración del módulo contable: datos de la empresa,
porcentajes de IVA, Ingresos Brutos y RG 3337, estructura del plan de
cuentas, opciones del módulo y ejercicios contables. Incluye klbase, que
crea bases de datos embebidas.]])
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The installed program carries no debugging information.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's platform plugins (the X11 and Wayland windows) and the ODBC driver
# manager's configuration are loaded by name, not linked.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, unixodbc")
# FreeTDS's driver reaches SQL Server; SQLite's driver opens embedded
# databases through ODBC; the Qt translations give the standard dialogs'
# buttons in Spanish.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "tdsodbc, libsqliteodbc, qt6-translations-l10n")

# Debian's documentation folder holds the copyright and the changelog; a
# package without a version of its own (no "-1") is native, so the changelog
# is changelog.gz, compressed without a name or a time stamp so that two
# builds give the same bytes.
set(KL_CHANGELOG_GZ "${PROJECT_BINARY_DIR}/changelog.gz")
add_custom_command(OUTPUT ${KL_CHANGELOG_GZ}
  COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${PROJECT_SOURCE_DIR}/cmake/debian/changelog
          ${KL_CHANGELOG_GZ}
  DEPENDS ${PROJECT_SOURCE_DIR}/cmake/debian/changelog VERBATIM)
# The manual pages go compressed the same way.
set(KL_DEBIAN_GZ ${KL_CHANGELOG_GZ})
foreach(page klconfig.1 klbase.1)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/${page}.gz
    COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${PROJECT_SOURCE_DIR}/cmake/debian/${page}
            ${PROJECT_BINARY_DIR}/${page}.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/cmake/debian/${page} VERBATIM)
  list(APPEND KL_DEBIAN_GZ ${PROJECT_BINARY_DIR}/${page}.gz)
  install(FILES ${PROJECT_BINARY_DIR}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(kl_debian_docs ALL DEPENDS ${KL_DEBIAN_GZ})
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright ${KL_CHANGELOG_GZ}
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

include(CPack)
