# What the program installs, and the packages CPack makes of it: each kind in
# a file of its own, package-KIND.cmake (deb, tarball, rpm, zip, msi), of
# which a build makes those TUITION_PACKAGE_KINDS names. The package preset's
# build makes every package there is, each in a build of its own, from
# cmake/cpus.txt and the Windows build (at the end of this file).
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

# tuition_changelog(FORM FILE): writes CHANGELOG.md to FILE as a package's
# changelog, in Debian's form or RPM's (FORM debian or rpm). A build after the
# release has an entry of its own, with the changes not yet released.
function(tuition_changelog form file)
  find_program(TUITION_AWK awk REQUIRED)
  set(maintainer ${TUITION_MAINTAINER})
  if(form STREQUAL "rpm")
    set(maintainer ${CPACK_PACKAGE_VENDOR})
  endif()
  set(snapshot)
  if(NOT TUITION_VERSION STREQUAL PROJECT_VERSION)
    set(snapshot -v "snapshot=${TUITION_VERSION}" -v "snapshot_day=${TUITION_DAY}"
                 -v "snapshot_time=${TUITION_TIME}")
  endif()
  execute_process(COMMAND ${TUITION_AWK} -v "maintainer=${maintainer}" -v form=${form}
                          ${snapshot} -f ${PROJECT_SOURCE_DIR}/cmake/changelog.awk
                          ${PROJECT_SOURCE_DIR}/CHANGELOG.md
                  OUTPUT_FILE ${file} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

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
  # A build after a release says its day in its version already, and the
  # page's footer has room for a version that long only without the day.
  set(day ${TUITION_DAY})
  if(NOT TUITION_VERSION STREQUAL PROJECT_VERSION)
    set(day "\"\"")
  endif()
  file(READ ${PROJECT_SOURCE_DIR}/doc/tuition.1 page)
  string(REGEX REPLACE "^\\.TH TUITION 1 [^ ]+ \"tuition [^\"]+\""
                       ".TH TUITION 1 ${day} \"tuition ${TUITION_VERSION}\"" page "${page}")
  file(WRITE ${docs}/tuition.1 "${page}")

  # The manual page and the changelog are compressed, with no timestamp, as
  # Debian's tools expect; the changelog in the form they read.
  find_program(TUITION_GZIP gzip)
  find_program(TUITION_AWK awk)
  if(TUITION_GZIP AND TUITION_AWK)
    tuition_changelog(debian ${docs}/changelog)
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

# The names this build's CPU goes by in each packaging system: its line of
# cmake/cpus.txt, found by its compiler's triple (CMake calls both 32-bit ARM
# ABIs arm, Debian armel and armhf); a compiler the table does not know is
# taken at CMake's word. Windows has a name of its own.
include(${CMAKE_CURRENT_LIST_DIR}/cpus.cmake)
tuition_cpus()
set(TUITION_TRIPLE -)
if(NOT MSVC)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -dumpmachine OUTPUT_VARIABLE TUITION_TRIPLE
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()
tuition_cpu_of("${TUITION_TRIPLE}" cpu)
if(WIN32)
  set(TUITION_DEBIAN_ARCH -)
  set(TUITION_MACHINE win64)
  set(TUITION_RPM_ARCH -)
elseif(cpu)
  set(TUITION_DEBIAN_ARCH ${cpu})
  set(TUITION_MACHINE ${TUITION_CPU_${cpu}_machine})
  set(TUITION_RPM_ARCH ${TUITION_CPU_${cpu}_rpm})
else()
  set(TUITION_DEBIAN_ARCH ${CMAKE_SYSTEM_PROCESSOR})
  set(TUITION_MACHINE ${CMAKE_SYSTEM_PROCESSOR})
  set(TUITION_RPM_ARCH ${CMAKE_SYSTEM_PROCESSOR})
endif()

option(TUITION_STATIC "Link the program statically, as the Linux tarballs and RPM packages hold it"
       OFF)
if(TUITION_STATIC)
  # Where the C library has the start-up code for it, the program is a static
  # PIE, which keeps the address randomisation a static program would lose.
  # The program asks glibc for nothing that glibc loads at run time (no name
  # service, no locale files, no character set conversion).
  if(CMAKE_POSITION_INDEPENDENT_CODE)
    include(CheckLinkerFlag)
    check_linker_flag(CXX -static-pie TUITION_LINKS_STATIC_PIE)
  endif()
  if(TUITION_LINKS_STATIC_PIE)
    # Among the libraries, so that it comes after the -pie CMake adds, which
    # would otherwise make the program dynamic again.
    target_link_libraries(tuition PRIVATE -static-pie)
  else()
    target_link_options(tuition PRIVATE -static)
  endif()
  # For another CPU, the C and C++ libraries that go into the program are
  # Debian's own for that CPU, with their security updates, where they are
  # installed (multiarch: libc6-dev:arm64, libstdc++-12-dev:arm64), not the
  # cross compiler's copies, which lag them: their folders come first.
  if(CMAKE_CROSSCOMPILING AND NOT WIN32)
    execute_process(COMMAND dpkg-architecture -a ${TUITION_DEBIAN_ARCH} -qDEB_HOST_MULTIARCH
                    OUTPUT_VARIABLE multiarch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    string(REGEX MATCH "^[0-9]+" major "${CMAKE_CXX_COMPILER_VERSION}")
    set(libc /usr/lib/${multiarch})
    set(libstdcxx /usr/lib/gcc/${TUITION_TRIPLE}/${major})
    if(multiarch AND EXISTS ${libc}/libc.a AND EXISTS ${libstdcxx}/libstdc++.a)
      target_link_options(tuition PRIVATE -B${libc} -L${libc} -B${libstdcxx} -L${libstdcxx})
    endif()
  endif()
endif()
# The files the linker took, for the SBOM of each package (sbom.cmake).
if(NOT MSVC AND NOT APPLE)
  target_link_options(tuition PRIVATE LINKER:-Map=${CMAKE_BINARY_DIR}/tuition.map)
endif()

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

# The kinds of package this build makes, each by its own file, which names
# the artefacts it makes in TUITION_ARTEFACTS.
if(WIN32)
  set(kinds zip msi)
elseif(TUITION_STATIC)
  set(kinds tarball)
else()
  set(kinds deb)
endif()
set(TUITION_PACKAGE_KINDS "${kinds}" CACHE STRING
    "The kinds of package this build makes, separated by ',' or ';': deb, tarball and rpm on Linux (the last two of a static build), zip and msi on Windows")
string(REPLACE "," ";" kinds "${TUITION_PACKAGE_KINDS}")
set(CPACK_GENERATOR)
set(TUITION_ARTEFACTS)
foreach(kind IN LISTS kinds)
  if(NOT EXISTS ${CMAKE_CURRENT_LIST_DIR}/package-${kind}.cmake)
    message(FATAL_ERROR "No kind of package is called ${kind}: TUITION_PACKAGE_KINDS takes deb, "
                        "tarball, rpm, zip and msi.")
  endif()
  include(${CMAKE_CURRENT_LIST_DIR}/package-${kind}.cmake)
endforeach()
set(CPACK_TUITION_ARTEFACTS ${TUITION_ARTEFACTS})
# A Windows program and installer are signed with Authenticode where the build
# is given a certificate (a PKCS#12 file and a file holding its password,
# which never enter the tree).
set(TUITION_AUTHENTICODE_PKCS12 "" CACHE FILEPATH
    "The PKCS#12 file of the certificate that signs the Windows program and installer")
set(TUITION_AUTHENTICODE_PASSWORD_FILE "" CACHE FILEPATH "The file holding that file's password")
if(WIN32 AND TUITION_AUTHENTICODE_PKCS12)
  find_program(TUITION_OSSLSIGNCODE osslsigncode REQUIRED)
  set(CPACK_TUITION_AUTHENTICODE ${TUITION_OSSLSIGNCODE} ${TUITION_AUTHENTICODE_PKCS12}
                                 ${TUITION_AUTHENTICODE_PASSWORD_FILE})
  list(APPEND CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/cpack-authenticode.cmake)
endif()
include(CPack)

# This build as a record, one tab-separated line under a header that names
# its fields, for the package checks: its folder, the folder it delivers to,
# its version, its CPU's names (Debian's, the compiler's triple, the
# tarball's and RPM's), whether its program is static and a static PIE, its
# kinds and the artefacts they make, in the same order.
set(TUITION_RECORD_FIELDS build delivered version debian triple machine rpm static pie kinds
    artefacts)
set(pie no)
if(TUITION_LINKS_STATIC_PIE)
  set(pie yes)
endif()
set(static no)
if(TUITION_STATIC)
  set(static yes)
endif()
string(JOIN "," kinds ${kinds})
string(JOIN "," artefacts ${TUITION_ARTEFACTS})
string(JOIN "\t" record "${CMAKE_BINARY_DIR}" "${TUITION_PACKAGE_DIRECTORY}" "${TUITION_VERSION}"
       "${TUITION_DEBIAN_ARCH}" "${TUITION_TRIPLE}" "${TUITION_MACHINE}" "${TUITION_RPM_ARCH}"
       "${static}" "${pie}" "${kinds}" "${artefacts}")
file(WRITE ${CMAKE_BINARY_DIR}/package-record.tsv "${record}\n")

# The package preset's build makes every package (the target packages, all it
# builds), each kind in the build its record names, for each CPU of
# cmake/cpus.txt as its column packages says, wherever its cross compiler is
# installed: a Debian package from a build of its own, and the tarball and
# the RPM package from one static build; and the Windows zip and installer
# from the MinGW-w64 build, where that compiler is installed. The records of
# every build are gathered in package-builds.tsv, and SHA256SUMS lists the
# checksums of the artefacts they name.
option(TUITION_PACKAGE_ALL "Build every package, for this CPU, Windows and others" OFF)
if(NOT TUITION_PACKAGE_ALL OR CMAKE_CROSSCOMPILING)
  return()
endif()
set(builds)
foreach(cpu IN LISTS TUITION_CPUS)
  set(triple ${TUITION_CPU_${cpu}_triple})
  set(kinds ${TUITION_CPU_${cpu}_packages})
  set(toolchain)
  if(NOT triple STREQUAL TUITION_TRIPLE)
    find_program(TUITION_CXX_${triple} ${triple}-g++)
    if(NOT TUITION_CXX_${triple})
      continue()
    endif()
    set(toolchain ${PROJECT_SOURCE_DIR}/cmake/linux-cross.cmake)
  endif()
  if(deb IN_LIST kinds)
    list(APPEND builds deb-${cpu})
    set(deb-${cpu} -DKINDS=deb -DTOOLCHAIN=${toolchain} -DTRIPLE=${triple})
    if(toolchain)
      set(after_deb-${cpu} deb-${TUITION_DEBIAN_ARCH})
    endif()
  endif()
  list(REMOVE_ITEM kinds deb)
  if(kinds)
    list(JOIN kinds "," kinds)
    list(APPEND builds static-${cpu})
    set(static-${cpu} -DKINDS=${kinds} -DSTATIC=ON -DTOOLCHAIN=${toolchain} -DTRIPLE=${triple})
  endif()
  if(rpm IN_LIST TUITION_CPU_${cpu}_packages AND NOT TUITION_RPMBUILD)
    find_program(TUITION_RPMBUILD rpmbuild)
    if(NOT TUITION_RPMBUILD)
      message(FATAL_ERROR "The RPM packages need rpmbuild, which was not found: install it "
                          "(Debian: rpm).")
    endif()
  endif()
endforeach()
find_program(TUITION_MINGW_CXX x86_64-w64-mingw32-g++-posix)
if(TUITION_MINGW_CXX)
  list(APPEND builds windows)
  set(windows -DKINDS=zip,msi -DTOOLCHAIN=${PROJECT_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake)
  foreach(tool wixl msibuild faketime)
    find_program(TUITION_${tool} ${tool})
    if(NOT TUITION_${tool})
      message(FATAL_ERROR "The Windows installer needs wixl, msibuild and faketime, and ${tool} "
                          "was not found: install them (Debian: wixl, msitools, faketime).")
    endif()
  endforeach()
endif()

foreach(tool apt-ftparchive createrepo_c gpg)
  find_program(TUITION_${tool} ${tool})
  if(NOT TUITION_${tool})
    message(FATAL_ERROR "The repositories need apt-ftparchive, createrepo_c and gpg, and ${tool} "
                        "was not found: install them (Debian: apt-utils, createrepo-c, gnupg).")
  endif()
endforeach()
include(${CMAKE_CURRENT_LIST_DIR}/signing.cmake)
set(signing -DSIGNING_KEY=${TUITION_SIGNING_KEY} -DPKCS12=${TUITION_AUTHENTICODE_PKCS12}
            -DPASSWORD_FILE=${TUITION_AUTHENTICODE_PASSWORD_FILE})

# Some of them, where a run needs no more.
set(TUITION_PACKAGE_BUILDS "" CACHE STRING
    "The package builds to make (deb-amd64, static-amd64, windows, ...): all of them when empty")
if(TUITION_PACKAGE_BUILDS)
  foreach(build IN LISTS TUITION_PACKAGE_BUILDS)
    if(NOT build IN_LIST builds)
      list(JOIN builds ", " known)
      message(FATAL_ERROR "TUITION_PACKAGE_BUILDS names ${build}, which is none of ${known}.")
    endif()
    list(APPEND TUITION_PACKAGE_BUILDS ${after_${build}})
  endforeach()
  list(REMOVE_DUPLICATES TUITION_PACKAGE_BUILDS)
  set(builds ${TUITION_PACKAGE_BUILDS})
endif()

# Each build is a step of its own, always run, so that the build runs as many
# side by side as it runs jobs. A Debian package for another CPU takes what
# this CPU's program needs of the C and C++ runtime (package-build.cmake says
# why), so it waits for this CPU's.
set(steps)
set(records)
foreach(build IN LISTS builds)
  set(step ${CMAKE_BINARY_DIR}/packaging-${build})
  set(after)
  if(after_${build})
    set(after ${CMAKE_BINARY_DIR}/packaging-${after_${build}})
    list(APPEND ${build} -DDEPENDS_FILE=${CMAKE_BINARY_DIR}/${after_${build}}/depends.txt)
  endif()
  add_custom_command(OUTPUT ${step}
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR} -DBUILD=${CMAKE_BINARY_DIR}/${build}
            -DPACKAGES=${TUITION_PACKAGE_DIRECTORY} "-DGENERATOR=${CMAKE_GENERATOR}"
            -DHARDEN=${TUITION_HARDEN} ${${build}} ${signing}
            -P ${PROJECT_SOURCE_DIR}/cmake/package-build.cmake
    DEPENDS ${after}
    COMMENT "Packaging ${build}"
    VERBATIM)
  list(APPEND steps ${step})
  list(APPEND records ${CMAKE_BINARY_DIR}/${build}/package-record.tsv)
endforeach()
# Then the records of them all, and the checksums of what they made, signed;
# last, the repositories that serve the packages (repositories.cmake).
set(sums ${CMAKE_BINARY_DIR}/packaging-checksums)
string(JOIN "\t" header ${TUITION_RECORD_FIELDS})
list(JOIN records "|" records)
set(gathered ${CMAKE_BINARY_DIR}/package-builds.tsv)
set(time -DTIME_FILE=${CMAKE_BINARY_DIR}/cpack-time.cmake)
add_custom_command(OUTPUT ${sums}
  COMMAND ${CMAKE_COMMAND} -DHEADER=${header} -DRECORDS=${records} -DGATHERED=${gathered}
          -DPACKAGES=${TUITION_PACKAGE_DIRECTORY} ${time} -DSIGNING_KEY=${TUITION_SIGNING_KEY}
          -P ${PROJECT_SOURCE_DIR}/cmake/checksums.cmake
  DEPENDS ${steps}
  COMMENT "Listing the checksums of the packages"
  VERBATIM)
set(TUITION_REPOSITORY_DIRECTORY ${CMAKE_BINARY_DIR}/repositories CACHE PATH
    "Where the APT and RPM repositories of the packages are made")
set(repositories ${CMAKE_BINARY_DIR}/packaging-repositories)
add_custom_command(OUTPUT ${repositories}
  COMMAND ${CMAKE_COMMAND} -DGATHERED=${gathered} -DREPOSITORIES=${TUITION_REPOSITORY_DIRECTORY}
          ${time} -DSIGNING_KEY=${TUITION_SIGNING_KEY}
          -P ${PROJECT_SOURCE_DIR}/cmake/repositories.cmake
  DEPENDS ${sums}
  COMMENT "Making the repositories of the packages"
  VERBATIM)
set_source_files_properties(${steps} ${sums} ${repositories} PROPERTIES SYMBOLIC TRUE)
add_custom_target(packages ALL DEPENDS ${repositories})
