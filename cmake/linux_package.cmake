# The Linux build as a Debian package: the program in /usr/bin; the runtime, the host layer and
# its desktop plugin in /usr/lib/quorlfix, where nothing else looks for them; a desktop entry and
# an icon. `cpack -G DEB` in the build directory writes it to package/.
set(QUORLFIX_LIBRARY_DIR lib/quorlfix)

# Installed, the program finds the two libraries relative to where it lies, and the runtime finds
# the host layer beside itself; the host layer finds the plugin beside itself too.
file(RELATIVE_PATH QUORLFIX_BIN_TO_LIBRARIES /usr/bin /usr/${QUORLFIX_LIBRARY_DIR})
set_target_properties(quorlfix PROPERTIES INSTALL_RPATH "$ORIGIN/${QUORLFIX_BIN_TO_LIBRARIES}")
set_target_properties(tb28run PROPERTIES INSTALL_RPATH "$ORIGIN")

install(TARGETS quorlfix RUNTIME DESTINATION bin)
install(TARGETS tb28run win32 LIBRARY DESTINATION ${QUORLFIX_LIBRARY_DIR})
if(TARGET win32_desktop)
  install(TARGETS win32_desktop LIBRARY DESTINATION ${QUORLFIX_LIBRARY_DIR})
endif()
install(FILES packaging/quorlfix.desktop DESTINATION share/applications)
install(FILES packaging/quorlfix.svg DESTINATION share/icons/hicolor/scalable/apps)
# The same icon drawn at 48 pixels (rsvg-convert -w 48 -h 48), for desktops that want a bitmap.
install(FILES packaging/quorlfix.png DESTINATION share/icons/hicolor/48x48/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorlfix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "QUORLFIX developers <quorlfix@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "asks whether to fix the quorl database")
set(CPACK_PACKAGE_DESCRIPTION
    "QUORLFIX asks whether to fix the quorl database and answers that Quorl was not found. It reads no files and \
changes nothing. With a display its dialogs are desktop windows (GTK 3); without one, or with answers fed on \
standard input, they are drawn on the terminal.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)

# The dependencies, found by dpkg-shlibdeps when cpack runs: what the program, the runtime and the
# host layer link is required; what only the plugin links (GTK 3) is recommended, since the
# terminal form needs none of it. (cpack's own shlibdeps would make GTK a requirement.)
set(QUORLFIX_PACKAGE_REQUIRED $<TARGET_FILE:quorlfix> $<TARGET_FILE:tb28run> $<TARGET_FILE:win32>)
set(QUORLFIX_PACKAGE_RECOMMENDED)
if(TARGET win32_desktop)
  set(QUORLFIX_PACKAGE_RECOMMENDED $<TARGET_FILE:win32_desktop>)
endif()
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/linux_package_dependencies.cmake CONTENT "
set(QUORLFIX_PACKAGE_REQUIRED \"${QUORLFIX_PACKAGE_REQUIRED}\")
set(QUORLFIX_PACKAGE_RECOMMENDED \"${QUORLFIX_PACKAGE_RECOMMENDED}\")
set(QUORLFIX_PACKAGE_PRIVATE_DIRS \"$<TARGET_FILE_DIR:tb28run>;$<TARGET_FILE_DIR:win32>\")
include(\"${PROJECT_SOURCE_DIR}/cmake/linux_package_dependencies.cmake\")
")
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/linux_package_dependencies.cmake)
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE
                OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
set(QUORLFIX_PACKAGE_FILE
    ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_NAME}_${CPACK_PACKAGE_VERSION}_${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}.deb)
include(CPack)
