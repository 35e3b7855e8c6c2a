# Cross-builds for Linux on another CPU with Debian's cross compilers
# (g++-TRIPLE) and runs what it builds under qemu-user. The preset names the
# target in TUITION_CROSS_TRIPLE, such as aarch64-linux-gnu.
set(CMAKE_SYSTEM_NAME Linux)
# CMake reads this file again for each compiler check, where only the
# variables listed here are passed on.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TUITION_CROSS_TRIPLE)
if(NOT TUITION_CROSS_TRIPLE)
  message(FATAL_ERROR "Set TUITION_CROSS_TRIPLE to the target, such as aarch64-linux-gnu")
endif()

# The CPU is the triple's first part; qemu names some of them its own way.
string(REGEX MATCH "^[^-]+" cpu "${TUITION_CROSS_TRIPLE}")
set(CMAKE_SYSTEM_PROCESSOR ${cpu})
set(qemu_names i686 i386 arm arm powerpc64le ppc64le)
list(FIND qemu_names ${cpu} index)
if(index GREATER_EQUAL 0)
  math(EXPR index "${index} + 1")
  list(GET qemu_names ${index} cpu)
endif()

set(CMAKE_C_COMPILER ${TUITION_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${TUITION_CROSS_TRIPLE}-g++)

# Libraries and packages come from the target's tree, never the build machine's.
set(CMAKE_FIND_ROOT_PATH /usr/${TUITION_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# qemu runs the target's dynamic loader from its tree (-L). That loader would
# still look in the build machine's /etc/ld.so.cache, which may list another
# C library for the same CPU (the 32-bit x86 one that clang's packages bring);
# a library path of the tree's own keeps it out.
find_program(TUITION_QEMU qemu-${cpu})
if(TUITION_QEMU)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TUITION_QEMU} -L /usr/${TUITION_CROSS_TRIPLE}
                                    -E LD_LIBRARY_PATH=/usr/${TUITION_CROSS_TRIPLE}/lib)
endif()
