# Sourced by the checks that run a built or installed program as a script
# would, after lib.sh: north_south COMMAND... feeds COMMAND the north/south
# dialogue through a pipe and fails the check unless it prints exactly the
# expected text and ends with status 0.
north_south() {
  local expected='Please enter your first name: Please enter your last name: Enter an amount of tuition to be paid: north south has paid all of his/her tuition.'
  local got status=0
  got=$(printf 'north\nsouth\n1200\n' | "$@") || status=$?
  ((status == 0)) || fail "$* ended with status $status"
  [[ "$got" == "$expected" ]] || fail "$* printed: $got"
}

# north_south_alone CPU ROOT PROGRAM: the same, for PROGRAM (a path in ROOT)
# run in a chroot of ROOT with nothing else, beside a static qemu for a CPU
# that is not this machine's (the names are .ci/cpus.sh's).
north_south_alone() {
  local cpu=$1 root=$2 program=$3
  if [[ $cpu == "$native_cpu" ]]; then
    north_south chroot "$root" "$program"
  else
    cp "/usr/bin/qemu-${qemus[$cpu]}-static" "$root/qemu"
    north_south chroot "$root" /qemu "$program"
    rm "$root/qemu"
  fi
}
