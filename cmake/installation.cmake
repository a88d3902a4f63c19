# Where `cmake --install` puts the program. The program finds what it ships
# with (skins, the engine's functions module) by a path relative to its own
# folder, so the installed tree works under any prefix.
include(GNUInstallDirs)

set(KL_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/klconfig")
set(KL_INSTALL_MODULEDIR "${CMAKE_INSTALL_LIBDIR}/klconfig")

# The same paths seen from the executable's folder (../share/klconfig).
file(RELATIVE_PATH KL_DATADIR_FROM_BINDIR
  "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${KL_INSTALL_DATADIR}")
file(RELATIVE_PATH KL_MODULEDIR_FROM_BINDIR
  "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${KL_INSTALL_MODULEDIR}")

install(FILES README.md LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
