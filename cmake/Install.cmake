# Install layout, the manual page and the Debian package.
#
# The programs look for their shipped files beside themselves first, then in
# ../share/tessiro (src/project/ProgramFolders.cpp), so bin and share/tessiro are
# spelled here as literals rather than taken from GNUInstallDirs.

# The help file sits beside the program in the build tree too.
configure_file(${CMAKE_SOURCE_DIR}/data/help2.dat ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/help2.dat COPYONLY)

install(TARGETS tessiro tessiro-cli RUNTIME DESTINATION bin)
install(FILES ${CMAKE_SOURCE_DIR}/data/help2.dat DESTINATION share/tessiro)

if(UNIX AND NOT APPLE)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/tessiro.desktop DESTINATION share/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/tessiro.svg DESTINATION share/icons/hicolor/scalable/apps)

  # The manual page is made from tessiro-cli --help, so it never lags behind the commands.
  find_program(HELP2MAN help2man)
  find_program(GZIP gzip)
  if(HELP2MAN AND GZIP)
    set(manPage ${CMAKE_BINARY_DIR}/man/tessiro-cli.1)
    add_custom_command(
      OUTPUT ${manPage}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND ${HELP2MAN} --no-info --no-discard-stderr
              --name "configure the Tessiro CANopen/DeviceNet gateway from scripts"
              --include ${CMAKE_SOURCE_DIR}/packaging/tessiro-cli.h2m
              --output ${manPage} $<TARGET_FILE:tessiro-cli>
      COMMAND ${GZIP} -9nf ${manPage}
      DEPENDS tessiro-cli ${CMAKE_SOURCE_DIR}/packaging/tessiro-cli.h2m
      VERBATIM)
    add_custom_target(manpage ALL DEPENDS ${manPage}.gz)
    install(FILES ${manPage}.gz DESTINATION share/man/man1)
  else()
    message(WARNING "help2man or gzip not found: no manual page for tessiro-cli (scripts/install-deps.sh installs them)")
  endif()
endif()

# cpack -G DEB in the build folder makes tessiro_<version>_<arch>.deb.
set(CPACK_PACKAGE_NAME tessiro)
set(CPACK_PACKAGE_VENDOR Veltrona)
set(CPACK_PACKAGE_CONTACT "Tessiro support <support@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for the Tessiro CANopen/DeviceNet gateway")
set(CPACK_PACKAGE_DESCRIPTION
    "Tessiro edits a gateway project (node addresses, baud rates, SDO and PDO access maps),\n\
writes the gateway's CANopen EDS file, builds its configuration banks and merges them\n\
into the gateway's S-record firmware. tessiro is the desktop program, tessiro-cli runs\n\
the same generators from scripts.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.example.com/tessiro)
# Run-time libraries come from dpkg-shlibdeps; srecord serves the tests only.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The export loads libxlsxwriter at run time, out of dpkg-shlibdeps' sight.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libxlsxwriter4")
include(CPack)
