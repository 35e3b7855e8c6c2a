# Writes PACKAGES/SHA256SUMS: the SHA-256 of every package there of VERSION,
# by name, in the form sha256sum writes, so that `sha256sum -c SHA256SUMS`
# checks a download. Packages of other versions that earlier builds left are
# not listed. Run by the package preset's build once every package is made, as
#
#   cmake -DPACKAGES=... -DVERSION=... -P checksums.cmake
get_filename_component(PACKAGES ${PACKAGES} ABSOLUTE)
file(GLOB artefacts RELATIVE ${PACKAGES} ${PACKAGES}/tuition*)
list(SORT artefacts)
set(sums "")
foreach(name IN LISTS artefacts)
  # tuition-VERSION-... and tuition_VERSION_...: the version whole, not a
  # version that begins with it.
  string(FIND "${name}" "tuition-${VERSION}-" dashed)
  string(FIND "${name}" "tuition_${VERSION}_" underscored)
  if(dashed EQUAL 0 OR underscored EQUAL 0)
    file(SHA256 ${PACKAGES}/${name} sum)
    string(APPEND sums "${sum}  ${name}\n")
  endif()
endforeach()
file(WRITE ${PACKAGES}/SHA256SUMS "${sums}")
