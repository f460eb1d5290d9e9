# What `cmake --install` puts under the prefix, and the Debian package made from
# it (`cpack -G DEB` in the build folder):
#   bin/dayglass, with a run path to its libraries in lib/, and the platform's
#   font file in share/dayglass
#   share/dayglass/device: the sample device, with the extension and its filter
#   share/dayglass/examples: the example scripts
#   share/dayglass/web: the live device's page, which `dayglass serve` serves
#   share/man/man1/dayglass.1: the manual page, made by help2man from --help-all
#   share/bash-completion/completions/dayglass: made by `dayglass completion`
# The command finds the installed sample device and page from its own folder, and never
# writes there (see defaultDeviceRoot).

file(RELATIVE_PATH dayglass_libraries_from_command ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
set_target_properties(dayglass PROPERTIES INSTALL_RPATH "$ORIGIN/${dayglass_libraries_from_command}")
set_target_properties(dayglass_host PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS dayglass RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS dayglass_platform dayglass_host LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_SKIP)
# The platform finds its font file from its own folder, as in the build tree.
install(FILES ${PROJECT_SOURCE_DIR}/platform/fonts/fonts.conf DESTINATION ${CMAKE_INSTALL_DATADIR}/dayglass)

set(dayglass_data ${CMAKE_INSTALL_DATADIR}/dayglass)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/device/ DESTINATION ${dayglass_data}/device)
install(TARGETS Dayglass2 LIBRARY DESTINATION ${dayglass_data}/device/Library/MobileSubstrate/DynamicLibraries)
install(FILES ${PROJECT_SOURCE_DIR}/tweak/Dayglass2.plist
        DESTINATION ${dayglass_data}/device/Library/MobileSubstrate/DynamicLibraries)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/web/ DESTINATION ${dayglass_data}/web)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${dayglass_data}/examples FILES_MATCHING PATTERN "*.simulate"
        PATTERN device EXCLUDE)

# Both made by running the command, which the sanitizers' leak check at exit
# must not fail.
set(dayglass_manual ${CMAKE_BINARY_DIR}/dayglass.1)
set(dayglass_completion ${CMAKE_BINARY_DIR}/dayglass.bash-completion)
add_custom_command(
  OUTPUT ${dayglass_manual}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          help2man --no-info --no-discard-stderr --help-option=--help-all --section=1
          "--name=calendar events on a simulated iOS lock screen" --output=${dayglass_manual} $<TARGET_FILE:dayglass>
  DEPENDS dayglass
  COMMENT "Writing the manual page from dayglass --help-all"
  VERBATIM)
add_custom_command(
  OUTPUT ${dayglass_completion}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          sh -c "exec \"$0\" completion > \"$1\"" $<TARGET_FILE:dayglass> ${dayglass_completion}
  DEPENDS dayglass
  COMMENT "Writing the bash completion from dayglass completion"
  VERBATIM)
add_custom_target(dayglass_documents ALL DEPENDS ${dayglass_manual} ${dayglass_completion})
install(FILES ${dayglass_manual} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${dayglass_completion} DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME dayglass)

set(CPACK_PACKAGE_NAME dayglass)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Dayglass developers <dayglass@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Calendar events on a simulated iOS lock screen")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps finds the libraries; the faces that the platform's font file
# names come from the font packages scripts/install-deps installs for the build.
file(STRINGS ${PROJECT_SOURCE_DIR}/scripts/install-deps dayglass_font_lines REGEX "^ +fonts-")
string(REGEX MATCHALL "fonts-[a-z0-9-]+" dayglass_font_packages "${dayglass_font_lines}")
list(JOIN dayglass_font_packages ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# dpkg-shlibdeps finds the package's own libraries in the package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
include(CPack)
