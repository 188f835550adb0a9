# Run by CPack on the staged tree before it builds the .deb: Debian installs manual pages
# compressed, while a plain `cmake --install` keeps them as the source files.
# gzip -n leaves out the name and time stamp, so the same page always gives the same bytes.
find_program(GZIP_PROGRAM gzip REQUIRED)
file(GLOB_RECURSE pages LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man*/*")
foreach(page IN LISTS pages)
  if(NOT page MATCHES "\\.gz$")
    execute_process(COMMAND "${GZIP_PROGRAM}" -9nf "${page}" COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
