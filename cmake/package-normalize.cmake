# Run by cpack once it has installed a package's files into its staging folder, before it packs
# them: every file and folder gets the source date, and a mode the builder's umask did not choose.
# The DEB generator takes every time it writes from SOURCE_DATE_EPOCH; zip stores local times.
file(READ ${CPACK_OSTRA_SOURCE_DATE_FILE} date)
# Lintian's overrides are for the .deb alone.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  file(REMOVE_RECURSE ${CPACK_TEMPORARY_DIRECTORY}/share/lintian
       ${CPACK_TEMPORARY_DIRECTORY}/usr/share/lintian)
endif()
set(ENV{SOURCE_DATE_EPOCH} ${date})
set(ENV{TZ} UTC)
execute_process(COMMAND chmod -R u+rw,go=rX ${CPACK_TEMPORARY_DIRECTORY} COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND find ${CPACK_TEMPORARY_DIRECTORY} -exec touch -h -d @${date} {} +
                COMMAND_ERROR_IS_FATAL ANY)
