# Run by CPack once it has made a package (CPACK_POST_BUILD_SCRIPTS): copies
# the artefacts this build names (CPACK_TUITION_ARTEFACTS) from CPack's own
# folder, where its scratch work stays, to the folder the packages are
# delivered in.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(name ${package} NAME)
  if(name IN_LIST CPACK_TUITION_ARTEFACTS)
    file(COPY ${package} DESTINATION ${CPACK_TUITION_PACKAGE_DIRECTORY})
  endif()
endforeach()
