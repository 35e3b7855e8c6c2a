# Builds and packages the program, each way in a build of its own: the Debian
# package for this CPU (deb), a tarball from a static build for this CPU
# (static) and for another (static-TRIPLE), a zip from the MinGW-w64 build
# (mingw), a Debian package from each cross build (TRIPLE). deb comes first:
# the cross builds' packages depend on what its program needs. Run by the
# package preset's build as
#
#   cmake -DVARIANTS=deb,static,mingw,aarch64-linux-gnu,... -DSOURCE=...
#         -DBINARY=... -DPACKAGES=... -DGENERATOR=Ninja
#         [-DHARDEN=ON] -P package-variants.cmake
string(REPLACE "," ";" VARIANTS "${VARIANTS}")

foreach(variant IN LISTS VARIANTS)
  set(build ${BINARY}/${variant})
  set(options -DTUITION_HARDEN=${HARDEN})
  if(variant STREQUAL "mingw")
    list(APPEND options --toolchain ${SOURCE}/cmake/mingw-w64-x86_64.cmake)
  elseif(variant MATCHES "^static(-(.+))?$")
    # A tarball's static build, for this CPU or, after the dash, another.
    list(APPEND options -DTUITION_STATIC=ON)
    if(CMAKE_MATCH_2)
      list(APPEND options --toolchain ${SOURCE}/cmake/linux-cross.cmake
                          -DTUITION_CROSS_TRIPLE=${CMAKE_MATCH_2})
    endif()
  elseif(NOT variant STREQUAL "deb")
    # A Debian package for another CPU.
    list(APPEND options --toolchain ${SOURCE}/cmake/linux-cross.cmake
                        -DTUITION_CROSS_TRIPLE=${variant} "-DTUITION_DEB_DEPENDS=${depends}")
  endif()
  message(STATUS "Packaging ${variant}")
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${build} -G "${GENERATOR}" ${options}
                          -DCMAKE_BUILD_TYPE=Release -DTUITION_BUILD_TESTS=OFF
                          -DTUITION_PACKAGE_DIRECTORY=${PACKAGES}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${build} OUTPUT_QUIET
                  COMMAND_ERROR_IS_FATAL ANY)
  # CPack gives the members of a Debian package's outer archive the modes its
  # umask leaves, so it packs under Debian's own, 022, whoever runs it.
  execute_process(COMMAND sh -c "umask 022 && exec \"$@\"" sh
                          ${CMAKE_CPACK_COMMAND} --config ${build}/CPackConfig.cmake
                  WORKING_DIRECTORY ${build} OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)

  if(variant STREQUAL "deb")
    # What this CPU's program needs of the C and C++ runtime, as
    # dpkg-shlibdeps works it out; the packages for other CPUs need the same
    # (see packaging.cmake).
    set(work ${BINARY}/shlibdeps)
    file(MAKE_DIRECTORY ${work}/debian)
    file(WRITE ${work}/debian/control "Source: tuition\n\nPackage: tuition\nArchitecture: any\n")
    execute_process(COMMAND dpkg-shlibdeps -O ${build}/tuition WORKING_DIRECTORY ${work}
                    OUTPUT_VARIABLE depends ERROR_QUIET COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX REPLACE "^shlibs:Depends=([^\n]*).*" "\\1" depends "${depends}")
  endif()
endforeach()
