# Read by cpack before it makes each package, with CPACK_GENERATOR naming that package's kind.
# A cross build's .deb depends on the newest C library version its program's symbols name, which
# is what dpkg-shlibdeps gives natively.
if(CPACK_GENERATOR STREQUAL "DEB" AND CPACK_OSTRA_OBJDUMP)
  execute_process(COMMAND ${CPACK_OSTRA_OBJDUMP} -T ${CPACK_OSTRA_PROGRAM}
                  OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "GLIBC_[0-9.]+" versions "${symbols}")
  set(newest 0)
  foreach(version IN LISTS versions)
    string(REPLACE "GLIBC_" "" version ${version})
    if(version VERSION_GREATER newest)
      set(newest ${version})
    endif()
  endforeach()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= ${newest})")
endif()
