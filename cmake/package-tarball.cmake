# The Linux tarballs. A tarball holds the program linked statically, so that it
# runs on any Linux of its CPU, with glibc or musl, old or new: the program asks
# glibc for nothing that glibc loads at run time (no name service, no locale
# files, no character set conversion). The Debian packages link it dynamically,
# as Debian wants.
#
# Where the C library has the start-up code for it, the program is a static PIE,
# which keeps the address randomisation a static program would lose.
if(CMAKE_POSITION_INDEPENDENT_CODE)
  include(CheckLinkerFlag)
  check_linker_flag(CXX -static-pie TUITION_LINKS_STATIC_PIE)
endif()
if(TUITION_LINKS_STATIC_PIE)
  # Among the libraries, so that it comes after the -pie CMake adds, which
  # would otherwise make the program dynamic again.
  target_link_libraries(tuition PRIVATE -static-pie)
else()
  target_link_options(tuition PRIVATE -static)
endif()

# Named for the processor, as uname -m names it, but for 32-bit ARM, whose
# two ABIs share that name.
set(CPACK_GENERATOR TGZ)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "arm" AND TUITION_DEBIAN_ARCH)
  set(CPACK_SYSTEM_NAME linux-${TUITION_DEBIAN_ARCH})
else()
  set(CPACK_SYSTEM_NAME linux-${CMAKE_SYSTEM_PROCESSOR})
endif()

option(TUITION_RPM "Make an RPM package of the static program beside the tarball" OFF)
if(TUITION_RPM)
  include(${CMAKE_CURRENT_LIST_DIR}/package-rpm.cmake)
endif()
