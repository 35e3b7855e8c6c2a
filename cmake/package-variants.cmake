# Builds and packages the program for Windows and for other CPUs, beside the
# native package: a zip from the MinGW-w64 build, a Debian package from each
# cross build. Run by the package preset's build, once the native program is
# built, as
#
#   cmake -DVARIANTS=mingw,aarch64-linux-gnu,... -DSOURCE=... -DBINARY=...
#         -DPACKAGES=... -DNATIVE=path/to/tuition -DGENERATOR=Ninja
#         [-DFLAGS=...] [-DLINKER_FLAGS=...] -P package-variants.cmake
string(REPLACE "," ";" VARIANTS "${VARIANTS}")

# What the native program needs of the C and C++ runtime, as dpkg-shlibdeps
# works it out; the packages for other CPUs need the same (see packaging.cmake).
set(work ${BINARY}/shlibdeps)
file(MAKE_DIRECTORY ${work}/debian)
file(WRITE ${work}/debian/control "Source: tuition\n\nPackage: tuition\nArchitecture: any\n")
execute_process(COMMAND dpkg-shlibdeps -O ${NATIVE} WORKING_DIRECTORY ${work}
                OUTPUT_VARIABLE depends ERROR_QUIET COMMAND_ERROR_IS_FATAL ANY)
string(REGEX REPLACE "^shlibs:Depends=([^\n]*).*" "\\1" depends "${depends}")

foreach(variant IN LISTS VARIANTS)
  set(build ${BINARY}/${variant})
  if(variant STREQUAL "mingw")
    set(options --toolchain ${SOURCE}/cmake/mingw-w64-x86_64.cmake)
    set(generator ZIP)
  else()
    set(generator DEB)
    set(options --toolchain ${SOURCE}/cmake/linux-cross.cmake -DTUITION_CROSS_TRIPLE=${variant}
                "-DTUITION_DEB_DEPENDS=${depends}" "-DCMAKE_CXX_FLAGS=${FLAGS}"
                "-DCMAKE_EXE_LINKER_FLAGS=${LINKER_FLAGS}")
  endif()
  message(STATUS "Packaging for ${variant}")
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${build} -G "${GENERATOR}" ${options}
                          -DCMAKE_BUILD_TYPE=Release -DTUITION_BUILD_TESTS=OFF
                          -DTUITION_PACKAGE_DIRECTORY=${PACKAGES}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${build} OUTPUT_QUIET
                  COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${CMAKE_CPACK_COMMAND} -G ${generator} --config ${build}/CPackConfig.cmake
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
