# Signing with OpenPGP, for the scripts that sign SHA256SUMS, the RPM packages
# and the repositories. The key is the one whose fingerprint is given, in the
# keyring of the caller's GNUPGHOME; it never enters the tree.
#
# A signature holds the time it was made, which is the artefacts' time
# (SOURCE_DATE_EPOCH, the version's), so that the same key signs the same
# bytes the same way on every build: RSA signatures, as RHEL 8's rpm must
# have, are the same for the same data and time. gpg refuses to sign at a
# time before its key was made, so a key made later (as any key is, for a
# release's own commit) signs at the time it was made.

# openpgp_time(VARIABLE FINGERPRINT BASE): VARIABLE becomes the time in
# seconds since 1970 at which FINGERPRINT signs what was made at BASE.
function(openpgp_time variable fingerprint base)
  execute_process(COMMAND gpg --batch --with-colons --list-secret-keys ${fingerprint}
                  OUTPUT_VARIABLE keys COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "\n(sec|ssb):[^:]*:[^:]*:[^:]*:[^:]*:([0-9]+):" made "\n${keys}")
  set(time ${base})
  foreach(key IN LISTS made)
    string(REGEX REPLACE ".*:([0-9]+):$" "\\1" created "${key}")
    if(created GREATER time)
      set(time ${created})
    endif()
  endforeach()
  set(${variable} ${time} PARENT_SCOPE)
endfunction()

# openpgp_export(FINGERPRINT FILE): writes FINGERPRINT's public key to FILE,
# as users are given it to check signatures with.
function(openpgp_export fingerprint file)
  execute_process(COMMAND gpg --batch --armor --export ${fingerprint} OUTPUT_FILE ${file}
                  COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# openpgp_sign(FINGERPRINT TIME ARGUMENTS...): runs gpg with ARGUMENTS,
# signing with FINGERPRINT at TIME.
function(openpgp_sign fingerprint time)
  execute_process(COMMAND gpg --batch --yes --quiet --faked-system-time ${time}! -u ${fingerprint}
                          ${ARGN}
                  ERROR_VARIABLE said RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gpg could not sign with ${fingerprint}: ${said}")
  endif()
endfunction()
