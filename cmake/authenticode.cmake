# Signing with Authenticode, for the scripts that sign tuition.exe and the
# installer, with osslsigncode 2.9 (Debian 12's backports), whose signatures
# this build's are: another version signs otherwise. The certificate and its
# key are a PKCS#12 file, whose password is read from a file, never from a
# command line; neither enters the tree. The signature holds the time it was
# made, which is the artefacts' time (SOURCE_DATE_EPOCH), or the
# certificate's first valid second if that is later, so that the same
# certificate signs the same bytes the same way on every build.

# authenticode_sign(FILE TOOL PKCS12 PASSWORD_FILE): signs FILE in place.
function(authenticode_sign file tool pkcs12 password_file)
  execute_process(COMMAND openssl pkcs12 -in ${pkcs12} -passin file:${password_file} -nokeys
                          -clcerts
                  COMMAND openssl x509 -noout -startdate
                  OUTPUT_VARIABLE start OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  string(REPLACE "notBefore=" "" start "${start}")
  execute_process(COMMAND date -u -d "${start}" +%s OUTPUT_VARIABLE valid
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(time $ENV{SOURCE_DATE_EPOCH})
  if(NOT time OR valid GREATER time)
    set(time ${valid})
  endif()
  execute_process(COMMAND ${tool} sign -pkcs12 ${pkcs12} -readpass ${password_file} -h sha256
                          -n tuition -time ${time} -in ${file} -out ${file}.signed
                  OUTPUT_QUIET ERROR_VARIABLE said RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "osslsigncode could not sign ${file}: ${said}")
  endif()
  file(RENAME ${file}.signed ${file})
endfunction()
