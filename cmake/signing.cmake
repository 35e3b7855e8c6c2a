# Which keys sign the package preset's artefacts. They come from outside, in
# the environment of the configure, and never from the tree:
# - TUITION_SIGNING_KEY, the fingerprint of an OpenPGP key in the keyring of
#   GNUPGHOME (gpg's default where that is not set), signs SHA256SUMS, the
#   RPM packages and the repositories, and its public key is published beside
#   the packages;
# - TUITION_AUTHENTICODE_PKCS12, a PKCS#12 file of a code-signing certificate
#   and its key, and TUITION_AUTHENTICODE_PASSWORD_FILE, a file holding its
#   password, sign tuition.exe and the installer.
# Without them the artefacts are made unsigned, and configuring says so in a
# line; with TUITION_REQUIRE_SIGNATURE=1, as for a release, a missing key
# stops the configure, before anything is built. Sets TUITION_SIGNING_KEY,
# TUITION_AUTHENTICODE_PKCS12 and TUITION_AUTHENTICODE_PASSWORD_FILE to what
# will sign, or to nothing.
set(TUITION_SIGNING_KEY "$ENV{TUITION_SIGNING_KEY}")
set(TUITION_AUTHENTICODE_PKCS12 "$ENV{TUITION_AUTHENTICODE_PKCS12}")
set(TUITION_AUTHENTICODE_PASSWORD_FILE "$ENV{TUITION_AUTHENTICODE_PASSWORD_FILE}")
set(unsigned)
if(NOT TUITION_SIGNING_KEY)
  list(APPEND unsigned "no TUITION_SIGNING_KEY")
else()
  execute_process(COMMAND gpg --batch --list-secret-keys ${TUITION_SIGNING_KEY}
                  RESULT_VARIABLE missing OUTPUT_QUIET ERROR_QUIET)
  if(missing)
    list(APPEND unsigned "no secret key ${TUITION_SIGNING_KEY} in the keyring")
    set(TUITION_SIGNING_KEY)
  endif()
endif()
if(NOT TUITION_AUTHENTICODE_PKCS12 OR NOT TUITION_AUTHENTICODE_PASSWORD_FILE)
  list(APPEND unsigned "no TUITION_AUTHENTICODE_PKCS12 and TUITION_AUTHENTICODE_PASSWORD_FILE")
else()
  execute_process(COMMAND openssl pkcs12 -in ${TUITION_AUTHENTICODE_PKCS12}
                          -passin file:${TUITION_AUTHENTICODE_PASSWORD_FILE} -noout
                  RESULT_VARIABLE unreadable OUTPUT_QUIET ERROR_QUIET)
  find_program(TUITION_OSSLSIGNCODE osslsigncode)
  if(unreadable OR NOT TUITION_OSSLSIGNCODE)
    list(APPEND unsigned "${TUITION_AUTHENTICODE_PKCS12} cannot be read with its password, or "
                         "there is no osslsigncode")
    set(TUITION_AUTHENTICODE_PKCS12)
    set(TUITION_AUTHENTICODE_PASSWORD_FILE)
  endif()
endif()
if(unsigned)
  list(JOIN unsigned "; " why)
  if("$ENV{TUITION_REQUIRE_SIGNATURE}" STREQUAL "1")
    message(FATAL_ERROR "TUITION_REQUIRE_SIGNATURE=1, but not every key is given (${why}): "
                        "RELEASING.md says how.")
  endif()
  message(NOTICE "Not every artefact will be signed: ${why}.")
endif()
