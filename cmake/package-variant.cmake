# Builds and packages the program one way, in a build of its own: the Debian
# package for this CPU (deb), a tarball from a static build for this CPU
# (static) or another (static-TRIPLE), with RPM an RPM package beside it, the
# zip and the installer from the MinGW-w64 build (mingw), or a Debian package
# from a cross build (TRIPLE), which depends on what deb's program needs (its
# depends.txt), so comes after it. Run by the package preset's build, several
# at a time, as
#
#   cmake -DVARIANT=deb -DSOURCE=... -DBINARY=... -DPACKAGES=... -DGENERATOR=Ninja
#         [-DHARDEN=ON] [-DRPM=ON] -P package-variant.cmake
set(build ${BINARY}/${VARIANT})
set(options -DTUITION_HARDEN=${HARDEN})
if(RPM)
  list(APPEND options -DTUITION_RPM=ON)
endif()
if(VARIANT STREQUAL "mingw")
  list(APPEND options --toolchain ${SOURCE}/cmake/mingw-w64-x86_64.cmake)
elseif(VARIANT MATCHES "^static(-(.+))?$")
  # A tarball's static build, for this CPU or, after the dash, another.
  list(APPEND options -DTUITION_STATIC=ON)
  if(CMAKE_MATCH_2)
    list(APPEND options --toolchain ${SOURCE}/cmake/linux-cross.cmake
                        -DTUITION_CROSS_TRIPLE=${CMAKE_MATCH_2})
  endif()
elseif(NOT VARIANT STREQUAL "deb")
  # A Debian package for another CPU.
  file(READ ${BINARY}/deb/depends.txt depends)
  list(APPEND options --toolchain ${SOURCE}/cmake/linux-cross.cmake
                      -DTUITION_CROSS_TRIPLE=${VARIANT} "-DTUITION_DEB_DEPENDS=${depends}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${build} -G "${GENERATOR}" ${options}
                        -DCMAKE_BUILD_TYPE=Release -DTUITION_BUILD_TESTS=OFF
                        -DTUITION_PACKAGE_DIRECTORY=${PACKAGES}
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${build} OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
# CPack gives the members of a Debian package's outer archive the modes its
# umask leaves, so it packs under Debian's own, 022, whoever runs it.
execute_process(COMMAND sh -c "umask 022 && exec \"$@\"" sh
                        ${CMAKE_CPACK_COMMAND} --config ${build}/CPackConfig.cmake
                WORKING_DIRECTORY ${build} OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
if(VARIANT STREQUAL "mingw")
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${build} --target msi OUTPUT_QUIET
                  COMMAND_ERROR_IS_FATAL ANY)
endif()

if(VARIANT STREQUAL "deb")
  # What this CPU's program needs of the C and C++ runtime, as dpkg-shlibdeps
  # works it out; the packages for other CPUs need the same (see
  # packaging.cmake).
  set(work ${build}/shlibdeps)
  file(MAKE_DIRECTORY ${work}/debian)
  file(WRITE ${work}/debian/control "Source: tuition\n\nPackage: tuition\nArchitecture: any\n")
  execute_process(COMMAND dpkg-shlibdeps -O ${build}/tuition WORKING_DIRECTORY ${work}
                  OUTPUT_VARIABLE depends ERROR_QUIET COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX REPLACE "^shlibs:Depends=([^\n]*).*" "\\1" depends "${depends}")
  file(WRITE ${build}/depends.txt "${depends}")
endif()
