# Gathers the records of the package builds (RECORDS, their files separated
# by '|') under HEADER into GATHERED, and writes PACKAGES/SHA256SUMS: the
# SHA-256 of every artefact they name and of its SBOM (ARTEFACT.spdx.json),
# in the form sha256sum writes, so that
# `sha256sum -c SHA256SUMS` checks a download. Whatever else the folder holds,
# such as the packages of another version that an earlier build left, is not
# listed. With the OpenPGP key SIGNING_KEY (signing.cmake), it signs
# SHA256SUMS (SHA256SUMS.asc, at the time TIME_FILE gives) and puts the public
# key beside it (tuition-signing-key.asc). Run by the package preset's build
# once every package is made, as
#
#   cmake -DHEADER=... -DRECORDS=...|... -DGATHERED=... -DPACKAGES=... -DTIME_FILE=...
#         [-DSIGNING_KEY=FINGERPRINT] -P checksums.cmake
string(REPLACE "|" ";" RECORDS "${RECORDS}")
set(gathered "${HEADER}\n")
set(artefacts)
foreach(record IN LISTS RECORDS)
  file(READ ${record} line)
  string(APPEND gathered "${line}")
  # The artefacts are the last field.
  string(REGEX REPLACE ".*\t([^\t\n]*)\n$" "\\1" named "${line}")
  string(REPLACE "," ";" named "${named}")
  foreach(name IN LISTS named)
    list(APPEND artefacts ${name} ${name}.spdx.json)
  endforeach()
endforeach()
file(WRITE ${GATHERED} "${gathered}")

list(SORT artefacts)
set(sums "")
foreach(name IN LISTS artefacts)
  file(SHA256 ${PACKAGES}/${name} sum)
  string(APPEND sums "${sum}  ${name}\n")
endforeach()
file(WRITE ${PACKAGES}/SHA256SUMS "${sums}")

# Signed, where the build is given a key, with the public key beside it.
file(REMOVE ${PACKAGES}/SHA256SUMS.asc ${PACKAGES}/tuition-signing-key.asc)
if(SIGNING_KEY)
  include(${CMAKE_CURRENT_LIST_DIR}/openpgp.cmake)
  include(${TIME_FILE})
  openpgp_time(time ${SIGNING_KEY} $ENV{SOURCE_DATE_EPOCH})
  openpgp_sign(${SIGNING_KEY} ${time} --armor --detach-sign -o ${PACKAGES}/SHA256SUMS.asc
               ${PACKAGES}/SHA256SUMS)
  openpgp_export(${SIGNING_KEY} ${PACKAGES}/tuition-signing-key.asc)
endif()
