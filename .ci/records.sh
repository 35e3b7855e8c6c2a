# Sourced by the package checks. records BUILD reads the records that the
# package preset's build BUILD wrote beside itself (package-builds.tsv: a
# header that names the fields, then a tab-separated line a package build;
# cmake/packaging.cmake says what each field holds). It sets `builds` to the
# builds' names (their folders' own names), a map by name for each field
# (${build[$b]}, the folder, ${debian[$b]}, ${kinds[$b]}, ...), `delivered_to`
# to the folder the artefacts were delivered to, `made` to all of them, and
# `repositories` to the folder the build made its repositories in.
records() {
  local file=$1/package-builds.tsv header line field i b
  [[ -f $file ]] || fail "$1 has no record of package builds (package-builds.tsv): make the packages first"
  builds=() made=()
  IFS=$'\t' read -r -a header <"$file"
  for field in "${header[@]}"; do unset "$field"; declare -g -A "$field=()"; done
  while IFS=$'\t' read -r -a line; do
    b=$(basename "${line[0]}")
    for i in "${!header[@]}"; do declare -g "${header[$i]}[$b]=${line[$i]:-}"; done
    builds+=("$b")
    IFS=, read -r -a named <<<"${line[-1]}"
    made+=("${named[@]}")
  done < <(tail -n +2 "$file")
  # shellcheck disable=SC2154  # a field of the header
  delivered_to=${delivered[${builds[0]}]}
  repositories=$(sed -n 's/^TUITION_REPOSITORY_DIRECTORY:PATH=//p' "$1/CMakeCache.txt")
}
