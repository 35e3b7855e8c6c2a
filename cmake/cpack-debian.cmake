# Run by CPack once it has installed what a package holds, before it packs it
# (CPACK_PRE_BUILD_SCRIPTS). A Debian package is made as Debian's own tools
# would make it: the licence is in copyright, in the form Debian reads, so
# LICENSE goes; the program loses its .comment section, the names of the
# compilers that built it, which nothing reads; and lintian learns, with its
# reason, why it finds no fortified call.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
set(root ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
file(REMOVE ${root}/share/doc/tuition/LICENSE)
execute_process(COMMAND ${CPACK_TUITION_OBJCOPY} --remove-section=.comment
                        --remove-section=.note ${root}/bin/tuition COMMAND_ERROR_IS_FATAL ANY)
file(MAKE_DIRECTORY ${root}/share/lintian/overrides)
# Readable by all and writable by root alone, as every file of the package,
# whatever mode the checkout gave the source (a umask of 002 makes it 664).
file(COPY_FILE ${CPACK_TUITION_LINTIAN_OVERRIDES} ${root}/share/lintian/overrides/tuition)
file(CHMOD ${root}/share/lintian/overrides/tuition
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
