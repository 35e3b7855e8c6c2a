# The program reads untrusted input, so a build a release hands out carries
# every protection its target supports. Each is used where the toolchain
# accepts it, rather than by a list of CPUs: a target that lacks one loses that
# one alone (-fcf-protection is x86's, -mbranch-protection ARM's), and a new
# compiler or CPU gets all it has.
option(TUITION_HARDEN "Build with every hardening flag the toolchain accepts, as packages are" OFF)
if(NOT TUITION_HARDEN)
  return()
endif()
include(CheckCXXCompilerFlag)
include(CheckLinkerFlag)
include(CheckPIESupported)

# Address randomisation for the program itself.
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
check_pie_supported()

# Checked by compiling and linking a program, so that a flag the target
# refuses, or takes with a warning that it does nothing there, is left out.
# Windows probes every frame larger than a page itself, and GCC's own probes
# break its unwind tables there; its control-flow marking is the linker's.
set(flags -fstack-protector-strong)
if(NOT WIN32)
  list(APPEND flags -fstack-clash-protection -fcf-protection=full -mbranch-protection=standard)
endif()
foreach(flag IN LISTS flags)
  string(MAKE_C_IDENTIFIER "TUITION_ACCEPTS${flag}" accepted)
  check_cxx_compiler_flag(${flag} ${accepted})
  if(${accepted})
    # At the link too, where the driver adds the stack protector's library
    # if the target's C library lacks it (MinGW-w64's does).
    add_compile_options(${flag})
    add_link_options(${flag})
  endif()
endforeach()
# The C library's checked forms of the calls whose buffer sizes the compiler
# can see; it needs optimisation, which every build that hands out a program
# has.
add_compile_definitions(_FORTIFY_SOURCE=2)

# Relocations read-only once the program is loaded, and bound at once, on
# ELF; on Windows, randomisation with a high-entropy address space and no
# execution of data, which newer linkers do by default.
foreach(flag -Wl,-z,relro -Wl,-z,now -Wl,--dynamicbase -Wl,--high-entropy-va -Wl,--nxcompat)
  string(MAKE_C_IDENTIFIER "TUITION_LINKS${flag}" accepted)
  check_linker_flag(CXX ${flag} ${accepted})
  if(${accepted})
    add_link_options(${flag})
  endif()
endforeach()
