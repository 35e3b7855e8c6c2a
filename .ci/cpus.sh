# Sourced by the scripts that build or run the program for other CPUs: reads
# cmake/cpus.txt (its comment names the columns) into `cpus`, Debian's names
# in its order, and for each the maps `triples`, `qemus`, `proofs` and
# `packages`. The packages' names for each CPU are the package builds'
# records' (records.sh).
cpus=()
declare -A triples=() qemus=() proofs=() packages=()
while read -r cpu triple qemu _ _ proof made; do
  cpus+=("$cpu")
  triples[$cpu]=$triple
  qemus[$cpu]=$qemu
  proofs[$cpu]=$proof
  packages[$cpu]=$made
done < <(grep -v '^#' "$(dirname "${BASH_SOURCE[0]}")/../cmake/cpus.txt")
native_cpu=$(dpkg --print-architecture)

# emulator CPU: prints the command that runs a program built for CPU here:
# nothing for this machine's own, qemu with that CPU's libraries for another.
emulator() {
  [[ $1 == "$native_cpu" ]] ||
    echo "qemu-${qemus[$1]} -L /usr/${triples[$1]} -E LD_LIBRARY_PATH=/usr/${triples[$1]}/lib"
}
