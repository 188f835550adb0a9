# The Debian package of the game, built by `cpack -G DEB` (scripts/package does it all): what a
# Debian game carries besides its binary, and the package's metadata.

set(GRIDFALL_DEBIAN_REVISION 1 CACHE STRING "Debian revision of the package (the part after the project version)")
set(GRIDFALL_MAINTAINER "gridfall developers <dev@gridfall.invalid>" CACHE STRING
    "Maintainer of the Debian package, as \"Name <address>\"")

# The changelog ships compressed; compressing at build time keeps a binary file out of the sources.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(gridfall_changelog_dir ${CMAKE_CURRENT_BINARY_DIR}/packaging)
add_custom_command(
  OUTPUT ${gridfall_changelog_dir}/changelog.Debian.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${gridfall_changelog_dir}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog ${gridfall_changelog_dir}/changelog.Debian
  COMMAND ${GZIP_PROGRAM} -9nf ${gridfall_changelog_dir}/changelog.Debian
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog
  COMMENT "Compressing the Debian changelog")
add_custom_target(gridfall_changelog ALL DEPENDS ${gridfall_changelog_dir}/changelog.Debian.gz)
install(FILES packaging/copyright ${gridfall_changelog_dir}/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME gridfall)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${GRIDFALL_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn-based action game in ten walled arenas for the terminal")
# CPack indents these lines and turns the empty one into the " ." paragraph break.
set(CPACK_PACKAGE_DESCRIPTION
    "Fly a ship through ten walled arenas in a text terminal. The ship moves one
cell every turn and leaves an impassable trail; chasing creatures, turret guns
and two bosses stand between it and the exit, which it opens by breaking the
outer wall with its disruptor.

Lasers, shockwaves, teleports and blinks are paid for with power points. The
five best scores are kept in the player's home directory.")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/packaging/compress-man-pages.cmake)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${GRIDFALL_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${GRIDFALL_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Runtime dependencies come from the libraries the binary really links (dpkg-shlibdeps), never
# from a hand-kept list that drifts from the build.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
