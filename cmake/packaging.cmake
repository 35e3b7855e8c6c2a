# What the program installs, and the packages CPack makes of it: on Linux a
# Debian package and a tarball of the same tree, on Windows a zip.
include(GNUInstallDirs)

set(TUITION_MAINTAINER "The tuition authors <tuition@example.org>")
set(TUITION_SUMMARY "record the payment of one person's tuition")
set(TUITION_DESCRIPTION "\
tuition asks at a text console for a first and a last name, sets the tuition
owed to 1200, and asks for payment amounts until nothing is owed. It then
writes one sentence that names the person. Scripts can feed it answers through
a pipe and rely on its exact output and exit status.")

# Text files that a user opens: regenerated when their sources change.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
             ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_SOURCE_DIR}/doc/tuition.1)
set(docs ${CMAKE_BINARY_DIR}/docs)
file(MAKE_DIRECTORY ${docs})

if(WIN32)
  # A Windows download is one folder: the program, with the README and the
  # licence beside it, their lines ended as Windows editors expect.
  install(TARGETS tuition RUNTIME DESTINATION .)
  foreach(doc README.md LICENSE)
    file(READ ${PROJECT_SOURCE_DIR}/${doc} text)
    string(REPLACE "\n" "\r\n" text "${text}")
    get_filename_component(name ${doc} NAME_WE)
    file(WRITE ${docs}/${name}.txt "${text}")
    install(FILES ${docs}/${name}.txt DESTINATION .)
  endforeach()
else()
  install(TARGETS tuition RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

  # The licence again, in the form Debian reads (it calls MIT's "Expat").
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
  string(FIND "${licence}" "Permission is hereby granted" start)
  string(SUBSTRING "${licence}" ${start} -1 licence)
  string(STRIP "${licence}" licence)
  string(REPLACE "\n\n" "\n.\n" licence "${licence}")
  string(REPLACE "\n" "\n " licence "${licence}")
  file(WRITE ${docs}/copyright "\
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: tuition

Files: *
Copyright: 2026 the tuition authors
License: Expat
 ${licence}
")
  set(doc_files ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE ${docs}/copyright)

  # The manual page and the changelog are compressed, with no timestamp, as
  # Debian's tools expect; the changelog in the form they read.
  find_program(TUITION_GZIP gzip)
  find_program(TUITION_AWK awk)
  if(TUITION_GZIP AND TUITION_AWK)
    execute_process(COMMAND ${TUITION_AWK} -v "maintainer=${TUITION_MAINTAINER}"
                            -f ${PROJECT_SOURCE_DIR}/cmake/debian-changelog.awk
                            ${PROJECT_SOURCE_DIR}/CHANGELOG.md
                    OUTPUT_FILE ${docs}/changelog COMMAND_ERROR_IS_FATAL ANY)
    file(COPY ${PROJECT_SOURCE_DIR}/doc/tuition.1 DESTINATION ${docs})
    execute_process(COMMAND ${TUITION_GZIP} -9nf ${docs}/changelog ${docs}/tuition.1
                    COMMAND_ERROR_IS_FATAL ANY)
    install(FILES ${docs}/tuition.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    list(APPEND doc_files ${docs}/changelog.gz)
  else()
    install(FILES doc/tuition.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES CHANGELOG.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
  endif()
  install(FILES ${doc_files} DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

# Uninstalling removes what the last `cmake --install` from this build put
# under its prefix, and the folders it leaves empty, up to the prefix.
if(WIN32)
  set(install_folders)
else()
  set(install_folders ${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_MANDIR}/man1 ${CMAKE_INSTALL_DOCDIR})
endif()
add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${CMAKE_BINARY_DIR}/install_manifest.txt
          "-DFOLDERS=${install_folders}" -P ${CMAKE_CURRENT_LIST_DIR}/uninstall.cmake
  VERBATIM)

set(TUITION_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages CACHE PATH
    "Where CPack puts the packages")
set(CPACK_PACKAGE_DIRECTORY ${TUITION_PACKAGE_DIRECTORY})
set(CPACK_PACKAGE_NAME tuition)
set(CPACK_PACKAGE_VENDOR "the tuition authors")
set(CPACK_PACKAGE_CONTACT "${TUITION_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${TUITION_SUMMARY}")
set(CPACK_PACKAGE_DESCRIPTION "${TUITION_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
else()
  set(CPACK_GENERATOR DEB TGZ)
  # Debian's names for the CPUs; a native build asks dpkg.
  set(debian_names x86_64 amd64 i686 i386 aarch64 arm64 arm armhf s390x s390x
                   powerpc64le ppc64el)
  list(FIND debian_names ${CMAKE_SYSTEM_PROCESSOR} index)
  if(CMAKE_CROSSCOMPILING AND index GREATER_EQUAL 0)
    math(EXPR index "${index} + 1")
    list(GET debian_names ${index} CPACK_DEBIAN_PACKAGE_ARCHITECTURE)
  endif()
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
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
  if(CPACK_DEBIAN_PACKAGE_ARCHITECTURE)
    set(CPACK_SYSTEM_NAME linux-${CPACK_DEBIAN_PACKAGE_ARCHITECTURE})
  else()
    set(CPACK_SYSTEM_NAME linux-${CMAKE_SYSTEM_PROCESSOR})
  endif()
endif()
include(CPack)

# The package preset packs the Windows build and the builds for other CPUs
# too, wherever their compilers are installed.
option(TUITION_PACKAGE_ALL "Also package the Windows and other-CPU builds" OFF)
if(TUITION_PACKAGE_ALL AND NOT CMAKE_CROSSCOMPILING)
  set(variants)
  find_program(TUITION_MINGW_CXX x86_64-w64-mingw32-g++-posix)
  if(TUITION_MINGW_CXX)
    list(APPEND variants mingw)
  endif()
  foreach(triple i686-linux-gnu aarch64-linux-gnu arm-linux-gnueabihf s390x-linux-gnu
                 powerpc64le-linux-gnu)
    find_program(TUITION_CXX_${triple} ${triple}-g++)
    if(TUITION_CXX_${triple})
      list(APPEND variants ${triple})
    endif()
  endforeach()
  string(REPLACE ";" "," variants "${variants}")
  add_custom_target(other_packages ALL
    COMMAND ${CMAKE_COMMAND} -DVARIANTS=${variants} -DSOURCE=${PROJECT_SOURCE_DIR}
            -DBINARY=${CMAKE_BINARY_DIR} -DPACKAGES=${TUITION_PACKAGE_DIRECTORY}
            -DNATIVE=$<TARGET_FILE:tuition> "-DGENERATOR=${CMAKE_GENERATOR}"
            "-DFLAGS=${CMAKE_CXX_FLAGS}" "-DLINKER_FLAGS=${CMAKE_EXE_LINKER_FLAGS}"
            -P ${PROJECT_SOURCE_DIR}/cmake/package-variants.cmake
    COMMENT "Packaging the builds for Windows and other CPUs: ${variants}"
    VERBATIM USES_TERMINAL)
  add_dependencies(other_packages tuition)
endif()
