# Run by CPack once it has installed what a package holds, before it packs it
# (CPACK_PRE_BUILD_SCRIPTS). In an RPM package the licence is not among the
# documents but where RPM systems keep licences, so that it is installed even
# where documents are not (package-rpm.cmake marks it %license).
if(NOT CPACK_GENERATOR STREQUAL "RPM")
  return()
endif()
set(root ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
file(MAKE_DIRECTORY ${root}/share/licenses/tuition)
file(RENAME ${root}/share/doc/tuition/LICENSE ${root}/share/licenses/tuition/LICENSE)
