# Sourced by the checks that run a built or installed program as a script
# would: north_south COMMAND... feeds COMMAND the north/south dialogue through
# a pipe and stops the check unless it prints exactly the expected text and
# ends with status 0.
north_south() {
  local expected='Please enter your first name: Please enter your last name: Enter an amount of tuition to be paid: north south has paid all of his/her tuition.'
  local got status=0 check
  check=$(basename "$0")
  got=$(printf 'north\nsouth\n1200\n' | "$@") || status=$?
  ((status == 0)) || { echo "$check: $* ended with status $status" >&2; exit 1; }
  [[ "$got" == "$expected" ]] || { echo "$check: $* printed: $got" >&2; exit 1; }
}
