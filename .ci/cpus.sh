# Sourced by the checks that build or run the program for other CPUs: Debian's
# name for each, in the order CI takes them, its cross triple and qemu's name
# for it.
cpus=(i386 arm64 armhf s390x ppc64el)
declare -A triples=([i386]=i686-linux-gnu [arm64]=aarch64-linux-gnu
  [armhf]=arm-linux-gnueabihf [s390x]=s390x-linux-gnu [ppc64el]=powerpc64le-linux-gnu)
declare -A qemus=([i386]=i386 [arm64]=aarch64 [armhf]=arm [s390x]=s390x [ppc64el]=ppc64le)
