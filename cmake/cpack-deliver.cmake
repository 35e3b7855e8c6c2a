# Run by CPack once it has made a package (CPACK_POST_BUILD_SCRIPTS): copies
# the package from CPack's own folder, where its scratch work stays, to the
# folder the packages are delivered in.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  file(COPY ${package} DESTINATION ${CPACK_TUITION_PACKAGE_DIRECTORY})
endforeach()
