# Sourced first by every check: stops at the first command that fails, and
# says which one and where, so that no check ever fails without a reason;
# fail MESSAGE says a check's own reason and stops it. Works from the top of
# the tree.
set -Eeuo pipefail
check=$(basename "$0")
trap 'status=$?; echo "$check: line $LINENO: \`$BASH_COMMAND\` failed with status $status" >&2' ERR
cd "$(dirname "$0")/.."

fail() {
  trap - ERR
  echo "$check: $*" >&2
  exit 1
}

# flip FILE: changes one byte of FILE, in the middle, as a file damaged or
# tampered with after it was signed.
flip() {
  local at=$(($(stat -c %s "$1") / 2)) byte
  byte=$(od -An -tx1 -j "$at" -N1 "$1" | tr -d ' ')
  # shellcheck disable=SC2059  # the format is the byte
  printf "\\x$(printf '%02x' $((0x$byte ^ 1)))" | dd of="$1" bs=1 seek="$at" conv=notrunc status=none
}

# next_release: sets `last` to the newest release's version in CHANGELOG.md
# and `next` to the one after it, its last number raised.
next_release() {
  last=$(sed -n 's/^## \[\([0-9]*\.[0-9]*\.[0-9]*\)\] - .*/\1/p' CHANGELOG.md | head -n 1)
  next=${last%.*}.$((${last##*.} + 1))
}

# copy_tree FOLDER: makes FOLDER a clone of this checkout, with every file
# it would commit as it stands now, so that a check of a copy sees
# uncommitted changes too.
copy_tree() {
  git clone -q . "$1"
  git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf - | tar -xf - -C "$1"
}
