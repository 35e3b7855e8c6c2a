# Removes what `cmake --install` put under its prefix, as the install's
# manifest lists it, then each folder that this build's installs made (as
# RECORD notes them) and that is left empty, the deepest first. A folder that
# was there before the install is never touched. Run by the target
# `uninstall` as
#
#   cmake -DMANIFEST=BUILD/install_manifest.txt -DRECORD=BUILD/install_folders.txt
#         -P uninstall.cmake
if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "uninstall: this build has installed nothing (no ${MANIFEST})")
endif()
file(STRINGS "${MANIFEST}" installed)
foreach(path IN LISTS installed)
  if(EXISTS "${path}" OR IS_SYMLINK "${path}")
    message(STATUS "Removing ${path}")
    file(REMOVE "${path}")
  endif()
endforeach()

set(made)
if(EXISTS "${RECORD}")
  file(STRINGS "${RECORD}" made)
endif()
# A folder sorts after its parent, which is a prefix of its path.
list(SORT made ORDER DESCENDING)
set(kept)
foreach(folder IN LISTS made)
  file(GLOB left LIST_DIRECTORIES true "${folder}/*" "${folder}/.*")
  if(IS_DIRECTORY "${folder}" AND NOT left)
    message(STATUS "Removing ${folder}/")
    file(REMOVE_RECURSE "${folder}")
  elseif(IS_DIRECTORY "${folder}")
    list(APPEND kept "${folder}")
  endif()
endforeach()
list(JOIN kept "\n" lines)
file(WRITE "${RECORD}" "${lines}")
