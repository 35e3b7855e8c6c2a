# The Linux tarball of a static build (TUITION_STATIC), which runs on any Linux
# of its CPU, with glibc or musl, old or new, named for the CPU as
# cmake/cpus.txt's column machine says: one folder holding the install tree.
list(APPEND CPACK_GENERATOR TGZ)
set(CPACK_PACKAGE_FILE_NAME tuition-${TUITION_VERSION}-linux-${TUITION_MACHINE})
list(APPEND TUITION_ARTEFACTS ${CPACK_PACKAGE_FILE_NAME}.tar.gz)
