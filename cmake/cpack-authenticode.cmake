# Run by CPack once it has installed, and stripped, what a Windows package
# holds, before it packs it (CPACK_PRE_BUILD_SCRIPTS): signs tuition.exe with
# Authenticode where the build was given a certificate, so that the zip and
# the installer hold the same signed program (authenticode.cmake).
if(NOT CPACK_TUITION_AUTHENTICODE)
  return()
endif()
include(${CMAKE_CURRENT_LIST_DIR}/authenticode.cmake)
file(GLOB_RECURSE programs ${CPACK_TEMPORARY_DIRECTORY}/tuition.exe)
foreach(program IN LISTS programs)
  authenticode_sign(${program} ${CPACK_TUITION_AUTHENTICODE})
endforeach()
