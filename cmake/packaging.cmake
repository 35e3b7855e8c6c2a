# What the program installs, and what the packages CPack makes of it share: on
# Linux a Debian package (package-deb.cmake), or a tarball of a static build
# (package-tarball.cmake) with an RPM package beside it (package-rpm.cmake); on
# Windows a zip (package-zip.cmake) and an installer (package-msi.cmake).
include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/version.cmake)
# The folders an install makes are the same whatever the umask, as their files
# are, so that a package does not depend on who made it.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

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

# Each install first notes, in the build, the folders under its prefix that it
# is about to make, so that uninstalling removes those and leaves alone any
# that was there before.
if(WIN32)
  set(install_folders)
else()
  set(install_folders ${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_MANDIR}/man1 ${CMAKE_INSTALL_DOCDIR})
endif()
set(folder_record ${CMAKE_BINARY_DIR}/install_folders.txt)
install(CODE "set(TUITION_FOLDERS \"${install_folders}\")\nset(TUITION_RECORD \"${folder_record}\")")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/install-folders.cmake)

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

  # The manual page says which version it documents, and when that was made.
  file(READ ${PROJECT_SOURCE_DIR}/doc/tuition.1 page)
  string(REGEX REPLACE "^\\.TH TUITION 1 [^ ]+ \"tuition [^\"]+\""
                       ".TH TUITION 1 ${TUITION_DAY} \"tuition ${TUITION_VERSION}\"" page "${page}")
  file(WRITE ${docs}/tuition.1 "${page}")

  # The manual page and the changelog are compressed, with no timestamp, as
  # Debian's tools expect; the changelog in the form they read. A build after
  # the release has an entry of its own, with the changes not yet released.
  find_program(TUITION_GZIP gzip)
  find_program(TUITION_AWK awk)
  if(TUITION_GZIP AND TUITION_AWK)
    set(snapshot)
    if(NOT TUITION_VERSION STREQUAL PROJECT_VERSION)
      set(snapshot -v "snapshot=${TUITION_VERSION}" -v "snapshot_day=${TUITION_DAY}"
                   -v "snapshot_time=${TUITION_TIME}")
    endif()
    execute_process(COMMAND ${TUITION_AWK} -v "maintainer=${TUITION_MAINTAINER}" ${snapshot}
                            -f ${PROJECT_SOURCE_DIR}/cmake/debian-changelog.awk
                            ${PROJECT_SOURCE_DIR}/CHANGELOG.md
                    OUTPUT_FILE ${docs}/changelog COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${TUITION_GZIP} -9nf ${docs}/changelog ${docs}/tuition.1
                    COMMAND_ERROR_IS_FATAL ANY)
    install(FILES ${docs}/tuition.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    list(APPEND doc_files ${docs}/changelog.gz)
  else()
    install(FILES ${docs}/tuition.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES CHANGELOG.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
  endif()
  install(FILES ${doc_files} DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

# Uninstalling removes what the last `cmake --install` from this build put
# under its prefix, and the folders its installs made that are left empty.
add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${CMAKE_BINARY_DIR}/install_manifest.txt
          -DRECORD=${folder_record} -P ${CMAKE_CURRENT_LIST_DIR}/uninstall.cmake
  VERBATIM)

option(TUITION_STATIC "Link the program statically, for the Linux tarballs" OFF)

# CPack works in a folder of its own; only the packages reach this one.
set(TUITION_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages CACHE PATH
    "Where CPack puts the packages")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/cpack)
set(CPACK_TUITION_PACKAGE_DIRECTORY ${TUITION_PACKAGE_DIRECTORY})
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/cpack-deliver.cmake)

# The same commit gives the same packages byte for byte, wherever and
# whenever they are made: every time they hold is the version's (see
# version.cmake), unless the caller of CPack sets SOURCE_DATE_EPOCH itself. A
# zip keeps its times as local times: they are UTC's, whatever the zone.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/cpack-time.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE} "set(ENV{TZ} UTC0)\n")
if(TUITION_TIME)
  file(APPEND ${CPACK_PROJECT_CONFIG_FILE}
       "if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})\n"
       "  set(ENV{SOURCE_DATE_EPOCH} ${TUITION_TIME})\n"
       "endif()\n")
endif()

set(CPACK_PACKAGE_NAME tuition)
set(CPACK_PACKAGE_VERSION ${TUITION_VERSION})
set(CPACK_PACKAGE_VENDOR "the tuition authors")
set(CPACK_PACKAGE_CONTACT "${TUITION_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${TUITION_SUMMARY}")
set(CPACK_PACKAGE_DESCRIPTION "${TUITION_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# Debian's name for the CPU and its ABI, which a build for another CPU asks of
# dpkg-architecture with its compiler's own triple (a native build asks dpkg):
# arm-linux-gnueabi is armel and arm-linux-gnueabihf armhf, though CMake
# calls both processors arm.
if(CMAKE_CROSSCOMPILING AND NOT WIN32)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -dumpmachine OUTPUT_VARIABLE triple
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND dpkg-architecture -t ${triple} -qDEB_HOST_ARCH
                  OUTPUT_VARIABLE TUITION_DEBIAN_ARCH OUTPUT_STRIP_TRAILING_WHITESPACE
                  ERROR_QUIET)
endif()
# Each kind of package in a file of its own.
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/package-zip.cmake)
  include(${CMAKE_CURRENT_LIST_DIR}/package-msi.cmake)
elseif(TUITION_STATIC)
  include(${CMAKE_CURRENT_LIST_DIR}/package-tarball.cmake)
else()
  include(${CMAKE_CURRENT_LIST_DIR}/package-deb.cmake)
endif()
include(CPack)

# The package preset's build makes every package (the target packages, all it
# builds), each from a build of its own under this one, for each CPU of
# cmake/cpus.txt as the table says, those wherever their compilers are
# installed: a Debian package (deb for this CPU, TRIPLE for another), a static
# tarball (static, static-TRIPLE) and beside it an RPM package; and the
# Windows zip and installer (mingw). SHA256SUMS lists their checksums.
option(TUITION_PACKAGE_ALL "Build every package, for this CPU, Windows and others" OFF)
if(TUITION_PACKAGE_ALL AND NOT CMAKE_CROSSCOMPILING)
  set(variants)
  set(rpms)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -dumpmachine OUTPUT_VARIABLE native
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/cpus.txt rows REGEX "^[^#]")
  foreach(row IN LISTS rows)
    string(REGEX MATCHALL "[^ ]+" fields "${row}")
    list(GET fields 1 triple)
    list(GET fields 4 made)
    if(triple STREQUAL native)
      set(deb deb)
      set(static static)
    else()
      find_program(TUITION_CXX_${triple} ${triple}-g++)
      if(NOT TUITION_CXX_${triple})
        continue()
      endif()
      set(deb ${triple})
      set(static static-${triple})
    endif()
    if(made MATCHES "deb")
      list(APPEND variants ${deb})
    endif()
    if(made MATCHES "tarball")
      list(APPEND variants ${static})
    endif()
    if(made MATCHES "rpm")
      list(APPEND rpms ${static})
    endif()
  endforeach()
  if(rpms)
    find_program(TUITION_RPMBUILD rpmbuild)
    if(NOT TUITION_RPMBUILD)
      message(FATAL_ERROR "The RPM packages need rpmbuild, which was not found: install it "
                          "(Debian: rpm).")
    endif()
  endif()
  find_program(TUITION_MINGW_CXX x86_64-w64-mingw32-g++-posix)
  if(TUITION_MINGW_CXX)
    list(APPEND variants mingw)
    foreach(tool wixl msibuild faketime)
      find_program(TUITION_HAS_${tool} ${tool})
      if(NOT TUITION_HAS_${tool})
        message(FATAL_ERROR "The Windows installer needs wixl, msibuild and faketime, and ${tool} "
                            "was not found: install them (Debian: wixl, msitools, faketime).")
      endif()
    endforeach()
  endif()
  # Each variant is a step of its own, always run, so that the build runs
  # as many side by side as it runs jobs; a Debian package for another CPU
  # waits for deb, whose program's needs it takes.
  set(steps)
  foreach(variant IN LISTS variants)
    set(step ${CMAKE_BINARY_DIR}/packaging-${variant})
    set(after)
    if(NOT variant MATCHES "^(deb|static.*|mingw)$")
      set(after ${CMAKE_BINARY_DIR}/packaging-deb)
    endif()
    set(rpm OFF)
    if(variant IN_LIST rpms)
      set(rpm ON)
    endif()
    add_custom_command(OUTPUT ${step}
      COMMAND ${CMAKE_COMMAND} -DVARIANT=${variant} -DSOURCE=${PROJECT_SOURCE_DIR}
              -DBINARY=${CMAKE_BINARY_DIR} -DPACKAGES=${TUITION_PACKAGE_DIRECTORY}
              "-DGENERATOR=${CMAKE_GENERATOR}" -DHARDEN=${TUITION_HARDEN} -DRPM=${rpm}
              -P ${PROJECT_SOURCE_DIR}/cmake/package-variant.cmake
      DEPENDS ${after}
      COMMENT "Packaging ${variant}"
      VERBATIM)
    list(APPEND steps ${step})
  endforeach()
  # Last, the checksums of them all.
  set(sums ${CMAKE_BINARY_DIR}/packaging-checksums)
  add_custom_command(OUTPUT ${sums}
    COMMAND ${CMAKE_COMMAND} -DPACKAGES=${TUITION_PACKAGE_DIRECTORY} -DVERSION=${TUITION_VERSION}
            -P ${PROJECT_SOURCE_DIR}/cmake/checksums.cmake
    DEPENDS ${steps}
    COMMENT "Listing the checksums of the packages"
    VERBATIM)
  set_source_files_properties(${steps} ${sums} PROPERTIES SYMBOLIC TRUE)
  add_custom_target(packages ALL DEPENDS ${sums})
endif()
