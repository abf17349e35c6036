# Fails when PROGRAM, a Linux program, names a library it needs (a NEEDED entry) or a loader (an
# INTERP header): the released program must start on any Linux, with no library, none on the path.
#   cmake -DREADELF=readelf -DPROGRAM=app/ostra -P check-static.cmake
execute_process(COMMAND ${READELF} --wide --dynamic --program-headers ${PROGRAM}
                OUTPUT_VARIABLE headers COMMAND_ERROR_IS_FATAL ANY)
if(headers MATCHES "\\(NEEDED\\)[^\n]*" OR headers MATCHES "INTERP[^\n]*")
  message(FATAL_ERROR "${PROGRAM} is not a static program: ${CMAKE_MATCH_0}")
endif()
