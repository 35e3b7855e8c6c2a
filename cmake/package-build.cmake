# Configures, builds and packages one package build of the package preset's
# (packaging.cmake), in a folder of its own, and delivers its artefacts to
# PACKAGES, each with its SBOM beside it (sbom.cmake). Run by the package preset's build, several at a time, as
#
#   cmake -DSOURCE=... -DBUILD=... -DPACKAGES=... -DGENERATOR=Ninja -DHARDEN=ON
#         -DKINDS=KIND[,KIND...] [-DSTATIC=ON] [-DTOOLCHAIN=FILE [-DTRIPLE=TRIPLE]]
#         [-DDEPENDS_FILE=FILE] [-DSIGNING_KEY=FINGERPRINT]
#         [-DPKCS12=FILE -DPASSWORD_FILE=FILE] -P package-build.cmake
#
# The keys (signing.cmake) sign what the build makes: Authenticode the
# Windows program and installer, as CPack makes them; OpenPGP each RPM
# package, once made, as rpmsign signs it. The SBOMs, which name each
# artefact's SHA-256, are written last.
#
# A Debian package built natively leaves in BUILD/depends.txt what
# dpkg-shlibdeps finds its program needs of the C and C++ runtime; a Debian
# package for another CPU, whose libraries are not here to be read, is given
# that file as DEPENDS_FILE: every architecture of a Debian release ships the
# same versions of them.
set(options -DTUITION_HARDEN=${HARDEN} -DTUITION_PACKAGE_KINDS=${KINDS}
            -DTUITION_STATIC=${STATIC} -DTUITION_AUTHENTICODE_PKCS12=${PKCS12}
            -DTUITION_AUTHENTICODE_PASSWORD_FILE=${PASSWORD_FILE})
if(TOOLCHAIN)
  list(APPEND options --toolchain ${TOOLCHAIN})
endif()
if(TOOLCHAIN AND TRIPLE)
  list(APPEND options -DTUITION_CROSS_TRIPLE=${TRIPLE})
endif()
if(DEPENDS_FILE)
  file(READ ${DEPENDS_FILE} depends)
  list(APPEND options "-DTUITION_DEB_DEPENDS=${depends}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${BUILD} -G "${GENERATOR}" ${options}
                        -DCMAKE_BUILD_TYPE=Release -DTUITION_BUILD_TESTS=OFF
                        -DTUITION_PACKAGE_DIRECTORY=${PACKAGES}
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
# CPack gives the members of a Debian package's outer archive the modes its
# umask leaves, so it packs under Debian's own, 022, whoever runs it.
execute_process(COMMAND sh -c "umask 022 && exec \"$@\"" sh
                        ${CMAKE_CPACK_COMMAND} --config ${BUILD}/CPackConfig.cmake
                WORKING_DIRECTORY ${BUILD} OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
if(SIGNING_KEY AND KINDS MATCHES "rpm")
  # Debian's rpmsign calls gpg2, which Debian has not: gpg is the same.
  include(${SOURCE}/cmake/openpgp.cmake)
  include(${BUILD}/cpack-time.cmake)
  openpgp_time(time ${SIGNING_KEY} $ENV{SOURCE_DATE_EPOCH})
  file(STRINGS ${BUILD}/package-record.tsv record)
  string(REGEX MATCHALL "[^\t,]+[.]rpm" rpms "${record}")
  foreach(name IN LISTS rpms)
    execute_process(COMMAND rpmsign --addsign --define "_gpg_name ${SIGNING_KEY}"
                            --define "__gpg /usr/bin/gpg"
                            --define "_gpg_sign_cmd_extra_args --faked-system-time ${time}!"
                            ${PACKAGES}/${name}
                    OUTPUT_QUIET ERROR_VARIABLE said RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "rpmsign could not sign ${name}: ${said}")
    endif()
  endforeach()
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -DBUILD=${BUILD} -P ${SOURCE}/cmake/sbom.cmake
                COMMAND_ERROR_IS_FATAL ANY)

if(KINDS STREQUAL "deb" AND NOT TOOLCHAIN)
  set(work ${BUILD}/shlibdeps)
  file(MAKE_DIRECTORY ${work}/debian)
  file(WRITE ${work}/debian/control "Source: tuition\n\nPackage: tuition\nArchitecture: any\n")
  execute_process(COMMAND dpkg-shlibdeps -O ${BUILD}/tuition WORKING_DIRECTORY ${work}
                  OUTPUT_VARIABLE depends ERROR_QUIET COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX REPLACE "^shlibs:Depends=([^\n]*).*" "\\1" depends "${depends}")
  file(WRITE ${BUILD}/depends.txt "${depends}")
endif()
