# Run by cpack once it has packed, before it copies the packages out and writes their checksums.
# CMake's archive writer stores the builder's user and group and the files in the order the disk
# lists them, so the tarball and the zip are written again from the staging folder: sorted, owned
# by root, and in the zip without the extra fields that hold user ids and times. The .deb's outer
# ar archive holds each member's mode as the builder's umask left it: it is set to 644.
get_filename_component(top ${CPACK_TEMPORARY_DIRECTORY} NAME)
get_filename_component(staging ${CPACK_TEMPORARY_DIRECTORY} DIRECTORY)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(package MATCHES "\\.tar\\.gz$")
    execute_process(COMMAND tar --sort=name --owner=0 --group=0 --numeric-owner --format=gnu
                            -C ${staging} -cf - ${top}
                    COMMAND gzip -9n
                    OUTPUT_FILE ${package} COMMAND_ERROR_IS_FATAL ANY)
  elseif(package MATCHES "\\.zip$")
    file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE ${staging}
         ${CPACK_TEMPORARY_DIRECTORY}/*)
    list(SORT entries)
    file(REMOVE ${package})
    execute_process(COMMAND zip -X -q -9 ${package} ${top} ${entries}
                    WORKING_DIRECTORY ${staging} COMMAND_ERROR_IS_FATAL ANY)
  elseif(package MATCHES "\\.deb$")
    # After the 8-byte signature, each member has a 60-byte header, its mode at offset 40 and its
    # size at 48, both in text; members start at even offsets.
    file(SIZE ${package} size)
    set(at 8)
    while(at LESS size)
      file(READ ${package} header OFFSET ${at} LIMIT 60)
      string(SUBSTRING "${header}" 48 10 member_size)
      string(STRIP "${member_size}" member_size)
      math(EXPR mode_at "${at} + 40")
      execute_process(COMMAND printf "100644  "
                      COMMAND dd of=${package} bs=1 seek=${mode_at} conv=notrunc status=none
                      COMMAND_ERROR_IS_FATAL ANY)
      math(EXPR at "${at} + 60 + ${member_size} + ${member_size} % 2")
    endwhile()
  endif()
endforeach()
