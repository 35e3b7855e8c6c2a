# Removes what `cmake --install` put under its prefix, as the install's
# manifest lists it, then each of the install's folders that is left empty,
# and its parents below the prefix that are left empty too. Run by the target
# `uninstall` as
#
#   cmake -DMANIFEST=BUILD/install_manifest.txt -DFOLDERS="bin;share/man/man1;..."
#         -P uninstall.cmake
#
# FOLDERS are where the install puts files, relative to the prefix: a folder
# above them, the prefix itself among them, is never touched.
if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "uninstall: this build has installed nothing (no ${MANIFEST})")
endif()
file(STRINGS "${MANIFEST}" installed)
foreach(path IN LISTS installed)
  if(EXISTS "${path}" OR IS_SYMLINK "${path}")
    message(STATUS "Removing ${path}")
    file(REMOVE "${path}")
  endif()
  get_filename_component(folder "${path}" DIRECTORY)
  foreach(relative IN LISTS FOLDERS)
    if(NOT folder MATCHES "/${relative}$")
      continue()
    endif()
    string(REGEX REPLACE "/${relative}$" "" prefix "${folder}")
    set(part "${relative}")
    while(part)
      file(GLOB left LIST_DIRECTORIES true "${prefix}/${part}/*" "${prefix}/${part}/.*")
      if(left OR NOT IS_DIRECTORY "${prefix}/${part}")
        break()
      endif()
      message(STATUS "Removing ${prefix}/${part}/")
      file(REMOVE_RECURSE "${prefix}/${part}")
      get_filename_component(part "${part}" DIRECTORY)
    endwhile()
  endforeach()
endforeach()
