# Writes PACKAGES/SHA256SUMS: the SHA-256 of every other file there, by name,
# in the form sha256sum writes, so that `sha256sum -c SHA256SUMS` checks a
# download. Run by the package preset's build once every package is made, as
#
#   cmake -DPACKAGES=... -P checksums.cmake
get_filename_component(PACKAGES ${PACKAGES} ABSOLUTE)
file(GLOB artefacts RELATIVE ${PACKAGES} ${PACKAGES}/*)
list(REMOVE_ITEM artefacts SHA256SUMS)
list(SORT artefacts)
set(sums "")
foreach(name IN LISTS artefacts)
  file(SHA256 ${PACKAGES}/${name} sum)
  string(APPEND sums "${sum}  ${name}\n")
endforeach()
file(WRITE ${PACKAGES}/SHA256SUMS "${sums}")
