# `cpack -G DEB` in the build folder makes klconfig_<version>_<arch>.deb from
# the install rules. The shared-library dependencies come from
# dpkg-shlibdeps; what the program loads at run time is declared by hand.
set(CPACK_PACKAGE_NAME klconfig)
set(CPACK_PACKAGE_VENDOR "klconfig")
set(CPACK_PACKAGE_CONTACT "klconfig <klconfig@localhost>")
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

include(CPack)
