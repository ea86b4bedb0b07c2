# Run by CPack on the staged files just before it makes the Debian package: Debian's policy wants
# man pages and the changelog compressed with gzip -9n (no name or time stamp, so the package
# builds the same twice). A plain `cmake --install` leaves them as they are.
file(GLOB_RECURSE to_compress "${CPACK_TEMPORARY_DIRECTORY}/usr/share/man/*"
                              "${CPACK_TEMPORARY_DIRECTORY}/usr/share/doc/*/changelog")
foreach(file IN LISTS to_compress)
  execute_process(COMMAND gzip -9nf ${file} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip could not compress ${file}")
  endif()
endforeach()
