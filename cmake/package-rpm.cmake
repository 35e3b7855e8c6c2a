# An RPM package of a static build (TUITION_STATIC), holding the tarball's
# program: one package then serves Fedora, RHEL 8 and 9 and openSUSE alike,
# whose C libraries are older than the one the dynamic program needs. It
# installs at the paths the Debian package uses, under /usr.
list(APPEND CPACK_GENERATOR RPM)
set(CPACK_RPM_PACKAGE_RELEASE 1)
set(CPACK_RPM_PACKAGE_ARCHITECTURE ${TUITION_RPM_ARCH})
set(CPACK_RPM_FILE_NAME tuition-${TUITION_VERSION}-1.${TUITION_RPM_ARCH}.rpm)
list(APPEND TUITION_ARTEFACTS ${CPACK_RPM_FILE_NAME})
set(CPACK_RPM_PACKAGE_LICENSE MIT)
# RPM's summaries begin with a capital, Debian's need not.
string(SUBSTRING "${TUITION_SUMMARY}" 0 1 first)
string(TOUPPER "${first}" first)
string(SUBSTRING "${TUITION_SUMMARY}" 1 -1 rest)
set(CPACK_RPM_PACKAGE_SUMMARY "${first}${rest}")
set(CPACK_RPM_PACKAGE_DESCRIPTION "${TUITION_DESCRIPTION}")
# It installs where it says, and nowhere else: not relocatable, which CPack
# asks of both of these.
set(CPACK_RPM_PACKAGE_RELOCATABLE OFF)
set(CPACK_PACKAGE_RELOCATABLE OFF)
set(CPACK_RPM_PACKAGE_GROUP "Applications/Productivity")
# Its changelog is CHANGELOG.md's, as the Debian package's is.
tuition_changelog(rpm ${CMAKE_BINARY_DIR}/docs/rpm-changelog)
set(CPACK_RPM_CHANGELOG_FILE ${CMAKE_BINARY_DIR}/docs/rpm-changelog)
# The licence is the package's %license, under /usr/share/licenses/tuition,
# which a system that installs no documentation (dnf's tsflags=nodocs, as
# Fedora's and UBI's containers set it) keeps all the same
# (cpack-rpm.cmake moves it there).
list(APPEND CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/cpack-rpm.cmake)
set(CPACK_RPM_USER_FILELIST "%license /usr/share/licenses/tuition/LICENSE")
# Static, the program needs nothing of the system's: not even the dynamic
# loader's hash tables, which rpmbuild would ask of a static PIE.
set(CPACK_RPM_PACKAGE_AUTOREQ OFF)
# Folders every system has, which the package must not claim as its own.
set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION /usr/share/man /usr/share/man/man1
    /usr/share/licenses)
# The same package byte for byte from every build of a commit: the build's
# host and time are not the machine's and the clock's, and no file is newer
# than SOURCE_DATE_EPOCH (which packaging.cmake sets). CPack has stripped the
# program with the target's own tools, and rpmbuild is to change nothing of
# what it installed: no stripping or compressing with the host's, no
# debugging package, no links by build ID.
string(JOIN "\n" CPACK_RPM_SPEC_MORE_DEFINE
       "%define _buildhost reproducible"
       "%define use_source_date_epoch_as_buildtime 1"
       "%define clamp_mtime_to_source_date_epoch 1"
       "%define __os_install_post %{nil}"
       "%define debug_package %{nil}"
       "%define _build_id_links none"
       "%define packager ${CPACK_PACKAGE_VENDOR}")
