# Run by CPack on the staged files: strips the programs as dh_strip does, so
# that neither debugging symbols nor the compiler's .comment and .note
# sections go into the package.
set(staged "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
file(GLOB programs "${staged}/bin/*" "${staged}/libexec/qxr/*")
if(NOT programs)
  message(FATAL_ERROR "no programs staged in ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
foreach(program IN LISTS programs)
  execute_process(COMMAND ${CPACK_QXR_STRIP} --remove-section=.comment --remove-section=.note ${program}
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
