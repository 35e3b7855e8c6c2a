# Run by CPack's External generator (package-msi.cmake) on the files the zip
# holds, which it has installed and stripped (and signed) in
# CPACK_TEMPORARY_DIRECTORY: makes the installer of them there, signs it where
# the build was given a certificate, and names it to CPack.

# Every time is the version's (cpack-time.cmake), and in UTC: the installer's
# cabinet keeps each file's.
string(TIMESTAMP clock "%Y-%m-%d %H:%M:%S" UTC)
set(files ${CPACK_TEMPORARY_DIRECTORY})
file(GLOB installed ${files}/*)
execute_process(COMMAND touch -d "${clock} UTC" ${installed} COMMAND_ERROR_IS_FATAL ANY)

set(work ${CPACK_TOPLEVEL_DIRECTORY}/msi)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})
# The folder goes first on PATH: appended, it leaves a ';' behind when removed.
file(WRITE ${work}/Environment.idt
     "Environment\tName\tValue\tComponent_\ns72\tl255\tL255\ts72\nEnvironment\tEnvironment\n"
     "PATH\t=-*PATH\t[INSTALLDIR];[~]\tProgram\n")
# wixl's rows, but for the upgrade's highest version, which takes in this one
# (msidbUpgradeAttributesVersionMaxInclusive, 512, with the features, 1).
set(version ${CPACK_TUITION_THREE_NUMBERS})
set(upgrade "{${CPACK_TUITION_UPGRADE_CODE}}")
file(WRITE ${work}/Upgrade.idt
     "UpgradeCode\tVersionMin\tVersionMax\tLanguage\tAttributes\tRemove\tActionProperty\n"
     "s38\tS20\tS20\tS255\ti4\tS255\ts72\n"
     "Upgrade\tUpgradeCode\tVersionMin\tVersionMax\tLanguage\tAttributes\n"
     "${upgrade}\t\t${version}\t\t513\t\tWIX_UPGRADE_DETECTED\n"
     "${upgrade}\t${version}\t\t\t2\t\tWIX_DOWNGRADE_DETECTED\n")

set(msi ${work}/${CPACK_TUITION_MSI})
set(full_version ${CPACK_PACKAGE_VERSION})
# wixl finds the files by their names in the folder it runs in.
execute_process(
  COMMAND ${CPACK_TUITION_faketime} -f ${clock} ${CPACK_TUITION_wixl} --arch x64 -o ${msi}
          -D Version=${version} -D FullVersion=${full_version}
          -D Manufacturer=${CPACK_PACKAGE_VENDOR} -D Summary=${CPACK_TUITION_SUMMARY}
          -D UpgradeCode=${CPACK_TUITION_UPGRADE_CODE}
          -D ProductCode=${CPACK_TUITION_PRODUCT_CODE}
          -D ComponentCode=${CPACK_TUITION_COMPONENT_CODE} ${CPACK_TUITION_WXS}
  WORKING_DIRECTORY ${files} COMMAND_ERROR_IS_FATAL ANY)
execute_process(
  COMMAND ${CPACK_TUITION_faketime} -f ${clock} ${CPACK_TUITION_msibuild} ${msi}
          -i ${work}/Environment.idt -i ${work}/Upgrade.idt
          -q "INSERT INTO InstallExecuteSequence (Action, Sequence) VALUES ('RemoveEnvironmentStrings', 3300)"
          -q "INSERT INTO InstallExecuteSequence (Action, Sequence) VALUES ('WriteEnvironmentStrings', 5200)"
          # The program's version, as its version resource says it, by which
          # Windows Installer compares files; and the folder it is installed
          # in, for the list of installed programs.
          -q "UPDATE File SET Version = '${version}.0', Language = '1033' WHERE File = 'tuition.exe'"
          -q "INSERT INTO CustomAction (Action, Type, Source, Target) VALUES ('SetInstallLocation', 51, 'ARPINSTALLLOCATION', '[INSTALLDIR]')"
          -q "INSERT INTO InstallExecuteSequence (Action, Sequence) VALUES ('SetInstallLocation', 1001)"
          -s "tuition ${full_version}" "${CPACK_PACKAGE_VENDOR}" "x64;1033"
             "{${CPACK_TUITION_PACKAGE_CODE}}"
  COMMAND_ERROR_IS_FATAL ANY)
if(CPACK_TUITION_AUTHENTICODE)
  include(${CMAKE_CURRENT_LIST_DIR}/authenticode.cmake)
  authenticode_sign(${msi} ${CPACK_TUITION_AUTHENTICODE})
endif()
set(CPACK_EXTERNAL_BUILT_PACKAGES ${msi})
