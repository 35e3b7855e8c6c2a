# The Debian packages, of the program linked dynamically, as Debian wants,
# and made as Debian's own tools would make them (cpack-debian.cmake).
list(APPEND CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/cpack-debian.cmake)
set(CPACK_TUITION_OBJCOPY ${CMAKE_OBJCOPY})
set(CPACK_TUITION_LINTIAN_OVERRIDES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides)
list(APPEND CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${TUITION_DEBIAN_ARCH})
set(CPACK_DEBIAN_FILE_NAME tuition_${TUITION_VERSION}_${TUITION_DEBIAN_ARCH}.deb)
list(APPEND TUITION_ARTEFACTS ${CPACK_DEBIAN_FILE_NAME})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps works out the C and C++ runtime the program needs from the
# libraries of the machine it was built on. A build for another CPU has none
# of that CPU's (only its cross compiler's), and is given what the native
# build needs: every architecture of a Debian release ships the same
# versions of them.
set(TUITION_DEB_DEPENDS "" CACHE STRING
    "The Debian package's Depends, where dpkg-shlibdeps cannot work it out")
if(TUITION_DEB_DEPENDS)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${TUITION_DEB_DEPENDS}")
else()
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
