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

# copy_tree FOLDER: makes FOLDER a clone of this checkout, with every file
# it would commit as it stands now, so that a check of a copy sees
# uncommitted changes too.
copy_tree() {
  git clone -q . "$1"
  git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf - | tar -xf - -C "$1"
}
