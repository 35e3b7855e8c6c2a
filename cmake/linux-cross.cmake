# Cross-builds for Linux on another CPU with Debian's cross compilers
# (g++-TRIPLE) and runs what it builds under qemu-user. The target is named by
# Debian's name for the CPU in TUITION_CPU, as the preset `cross` takes it
# from the environment, or by its GNU triple in TUITION_CROSS_TRIPLE; both
# are looked up in cmake/cpus.txt, which also gives qemu's name for it. A
# triple not there is built all the same, run by the qemu its CPU is named for.
set(CMAKE_SYSTEM_NAME Linux)
# CMake reads this file again for each compiler check, where only the
# variables listed here are passed on.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TUITION_CPU TUITION_CROSS_TRIPLE)

include(${CMAKE_CURRENT_LIST_DIR}/cpus.cmake)
tuition_cpus()
if(TUITION_CPU AND TUITION_CPU IN_LIST TUITION_CPUS)
  set(TUITION_CROSS_TRIPLE ${TUITION_CPU_${TUITION_CPU}_triple})
endif()
if(NOT TUITION_CROSS_TRIPLE)
  list(JOIN TUITION_CPUS " " known)
  message(FATAL_ERROR "Name the target CPU: TUITION_CPU=NAME cmake --preset cross, where NAME "
                      "is one of ${known}; or set TUITION_CROSS_TRIPLE to its GNU triple.")
endif()
string(REGEX MATCH "^[^-]+" CMAKE_SYSTEM_PROCESSOR "${TUITION_CROSS_TRIPLE}")
tuition_cpu_of(${TUITION_CROSS_TRIPLE} cpu)
set(qemu_name ${CMAKE_SYSTEM_PROCESSOR})
if(cpu)
  set(qemu_name ${TUITION_CPU_${cpu}_qemu})
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
find_program(TUITION_QEMU qemu-${qemu_name})
if(TUITION_QEMU)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TUITION_QEMU} -L /usr/${TUITION_CROSS_TRIPLE}
                                    -E LD_LIBRARY_PATH=/usr/${TUITION_CROSS_TRIPLE}/lib)
endif()
