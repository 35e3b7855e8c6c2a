# The Windows installer, tuition-VERSION-win64.msi, beside the zip. It puts
# tuition.exe, README.txt and LICENSE.txt in Program Files\tuition, that
# folder first on the system's PATH, and tuition in the list of installed
# programs, with its version and publisher; removing it takes all of that
# back, PATH as it was. The target msi makes it from the files the zip holds,
# with wixl and msibuild (Debian: wixl, msitools) under a clock stopped at the
# version's time (faketime), so that every build of a commit makes the same
# file: the installer's codes are named by the version, not drawn at random.
#
# Windows Installer knows versions of three numbers, so a build after a
# release (1.1.0+git20261215.abc1234) says 1.1.0 there, as the release does,
# and its whole version in the installer's description and the program's
# comments. An installer replaces any installed tuition whose three numbers
# are not above its own, the release the build follows included, in place:
# one entry in the list afterwards. It refuses to replace a later one, and
# says so.
#
# Included by the configure of a Windows build, this defines the target; the
# target runs this file as a script, which makes the installer.
if(NOT CMAKE_SCRIPT_MODE_FILE)
  # The same for every version: how Windows knows one tuition from another
  # program, and the name space of the codes named by the version.
  set(upgrade_code BA75CB8F-AE6B-4A84-B2DF-BD4F22E53D4C)
  set(names 988eb236-f26d-4fcc-be35-5d626f5410d5)
  string(UUID product_code NAMESPACE ${names} NAME "product ${TUITION_VERSION}" TYPE SHA1 UPPER)
  string(UUID package_code NAMESPACE ${names} NAME "package ${TUITION_VERSION}" TYPE SHA1 UPPER)
  string(UUID component_code NAMESPACE ${names} NAME "component" TYPE SHA1 UPPER)
  find_program(TUITION_WIXL wixl)
  find_program(TUITION_MSIBUILD msibuild)
  find_program(TUITION_FAKETIME faketime)
  add_custom_target(msi
    COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DPACKAGES=${TUITION_PACKAGE_DIRECTORY}
            -DWIXL=${TUITION_WIXL} -DMSIBUILD=${TUITION_MSIBUILD} -DFAKETIME=${TUITION_FAKETIME}
            -DVERSION=${PROJECT_VERSION} -DFULL_VERSION=${TUITION_VERSION} -DTIME=${TUITION_TIME}
            "-DMANUFACTURER=${CPACK_PACKAGE_VENDOR}" "-DSUMMARY=${TUITION_SUMMARY}"
            -DUPGRADE_CODE=${upgrade_code} -DPRODUCT_CODE=${product_code}
            -DPACKAGE_CODE=${package_code} -DCOMPONENT_CODE=${component_code}
            -P ${CMAKE_CURRENT_LIST_FILE}
    DEPENDS tuition
    VERBATIM)
  return()
endif()

foreach(tool WIXL MSIBUILD FAKETIME)
  if(NOT ${tool})
    message(FATAL_ERROR "The Windows installer needs wixl, msibuild and faketime: install them "
                        "(Debian: wixl, msitools, faketime).")
  endif()
endforeach()

# Every time is the version's, and in UTC: strip writes the time into the
# program's header, and the installer's cabinet keeps each file's.
set(ENV{TZ} UTC0)
set(ENV{SOURCE_DATE_EPOCH} ${TIME})
string(TIMESTAMP clock "%Y-%m-%d %H:%M:%S" UTC)

# What the zip holds, stripped as CPack strips it.
set(work ${BUILD}/msi)
file(REMOVE_RECURSE ${work})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${work}/files --strip
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(GLOB files ${work}/files/*)
execute_process(COMMAND touch -d @${TIME} ${files} COMMAND_ERROR_IS_FATAL ANY)

# The folder goes first on PATH: appended, it leaves a ';' behind when removed.
file(WRITE ${work}/Environment.idt
     "Environment\tName\tValue\tComponent_\ns72\tl255\tL255\ts72\nEnvironment\tEnvironment\n"
     "PATH\t=-*PATH\t[INSTALLDIR];[~]\tProgram\n")
# wixl's rows, but for the upgrade's highest version, which takes in this one
# (msidbUpgradeAttributesVersionMaxInclusive, 512, with the features, 1).
file(WRITE ${work}/Upgrade.idt
     "UpgradeCode\tVersionMin\tVersionMax\tLanguage\tAttributes\tRemove\tActionProperty\n"
     "s38\tS20\tS20\tS255\ti4\tS255\ts72\n"
     "Upgrade\tUpgradeCode\tVersionMin\tVersionMax\tLanguage\tAttributes\n"
     "{${UPGRADE_CODE}}\t\t${VERSION}\t\t513\t\tWIX_UPGRADE_DETECTED\n"
     "{${UPGRADE_CODE}}\t${VERSION}\t\t\t2\t\tWIX_DOWNGRADE_DETECTED\n")

set(msi ${work}/tuition-${FULL_VERSION}-win64.msi)
# wixl finds the files by their names in the folder it runs in.
execute_process(
  COMMAND ${FAKETIME} -f ${clock} ${WIXL} --arch x64 -o ${msi}
          -D Version=${VERSION} -D FullVersion=${FULL_VERSION} -D Manufacturer=${MANUFACTURER}
          -D Summary=${SUMMARY} -D UpgradeCode=${UPGRADE_CODE} -D ProductCode=${PRODUCT_CODE}
          -D ComponentCode=${COMPONENT_CODE} ${CMAKE_CURRENT_LIST_DIR}/tuition.wxs
  WORKING_DIRECTORY ${work}/files COMMAND_ERROR_IS_FATAL ANY)
execute_process(
  COMMAND ${FAKETIME} -f ${clock} ${MSIBUILD} ${msi}
          -i ${work}/Environment.idt -i ${work}/Upgrade.idt
          -q "INSERT INTO InstallExecuteSequence (Action, Sequence) VALUES ('RemoveEnvironmentStrings', 3300)"
          -q "INSERT INTO InstallExecuteSequence (Action, Sequence) VALUES ('WriteEnvironmentStrings', 5200)"
          -s "tuition ${FULL_VERSION}" "${MANUFACTURER}" "x64;1033" "{${PACKAGE_CODE}}"
  COMMAND_ERROR_IS_FATAL ANY)
file(COPY ${msi} DESTINATION ${PACKAGES})
