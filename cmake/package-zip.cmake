# The Windows zip: one folder holding the program, with the README and the
# licence beside it (see the install rules in packaging.cmake).
set(CPACK_GENERATOR ZIP)
set(CPACK_SYSTEM_NAME win64)
