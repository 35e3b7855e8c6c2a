# The Windows zip: one folder holding the program, with the README and the
# licence beside it (see the install rules in packaging.cmake).
list(APPEND CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME tuition-${TUITION_VERSION}-${TUITION_MACHINE})
list(APPEND TUITION_ARTEFACTS ${CPACK_PACKAGE_FILE_NAME}.zip)
