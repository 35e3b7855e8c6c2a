# The Windows installer, tuition-VERSION-win64.msi. It puts tuition.exe,
# README.txt and LICENSE.txt in Program Files\tuition, that folder first on
# the system's PATH, and tuition in the list of installed programs, with its
# version and publisher; removing it takes all of that back, PATH as it was.
# CPack makes it from the files the zip holds (its External generator runs
# cpack-msi.cmake on them), with wixl and msibuild (Debian: wixl, msitools)
# under a clock stopped at the version's time (faketime), so that every build
# of a commit makes the same file: the installer's codes are named by the
# version, not drawn at random.
#
# Windows Installer knows versions of three numbers, so a build after a
# release (1.1.0+git20261215.134501.abc1234) says 1.1.0 there, as the release
# does, and its whole version in the installer's description and the
# program's comments. An installer replaces any installed tuition whose three numbers
# are not above its own, the release the build follows included, in place:
# one entry in the list afterwards. It refuses to replace a later one, and
# says so.
foreach(tool wixl msibuild faketime)
  find_program(TUITION_${tool} ${tool})
  if(NOT TUITION_${tool})
    message(FATAL_ERROR "The Windows installer needs wixl, msibuild and faketime, and ${tool} "
                        "was not found: install them (Debian: wixl, msitools, faketime).")
  endif()
  set(CPACK_TUITION_${tool} ${TUITION_${tool}})
endforeach()
list(APPEND CPACK_GENERATOR External)
set(CPACK_EXTERNAL_ENABLE_STAGING ON)
set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/cpack-msi.cmake)
set(CPACK_TUITION_WXS ${CMAKE_CURRENT_LIST_DIR}/tuition.wxs)
set(CPACK_TUITION_MSI tuition-${TUITION_VERSION}-win64.msi)
list(APPEND TUITION_ARTEFACTS ${CPACK_TUITION_MSI})
set(CPACK_TUITION_THREE_NUMBERS ${PROJECT_VERSION})
set(CPACK_TUITION_SUMMARY "${TUITION_SUMMARY}")
# The same for every version: how Windows knows one tuition from another
# program, and the name space of the codes named by the version.
set(CPACK_TUITION_UPGRADE_CODE BA75CB8F-AE6B-4A84-B2DF-BD4F22E53D4C)
set(names 988eb236-f26d-4fcc-be35-5d626f5410d5)
string(UUID CPACK_TUITION_PRODUCT_CODE NAMESPACE ${names} NAME "product ${TUITION_VERSION}"
       TYPE SHA1 UPPER)
string(UUID CPACK_TUITION_PACKAGE_CODE NAMESPACE ${names} NAME "package ${TUITION_VERSION}"
       TYPE SHA1 UPPER)
string(UUID CPACK_TUITION_COMPONENT_CODE NAMESPACE ${names} NAME "component" TYPE SHA1 UPPER)
