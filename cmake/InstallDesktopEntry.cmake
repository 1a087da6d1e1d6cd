# Installs the desktop entry with the program's path under the prefix being
# installed to (which `cmake --install --prefix` may choose only now), so
# that the desktop starts the program whether or not its folder is on PATH.
# Run by `cmake --install` after the variables VELL_DESKTOP_IN,
# VELL_DESKTOP_OUT, VELL_BINDIR and VELL_APPDIR are set.
if(IS_ABSOLUTE "${VELL_BINDIR}")
  set(VELL_PROGRAM "${VELL_BINDIR}/vell")
else()
  set(VELL_PROGRAM "${CMAKE_INSTALL_PREFIX}/${VELL_BINDIR}/vell")
endif()
configure_file("${VELL_DESKTOP_IN}" "${VELL_DESKTOP_OUT}" @ONLY)
file(INSTALL "${VELL_DESKTOP_OUT}" DESTINATION "${CMAKE_INSTALL_PREFIX}/${VELL_APPDIR}")
