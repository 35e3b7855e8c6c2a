# Run by `cmake --install` before it installs anything: adds to TUITION_RECORD
# each folder under the prefix that the install is about to make, for each of
# TUITION_FOLDERS (relative to the prefix) that is missing, and its missing
# parents below the prefix. Folders noted by an earlier install from the same
# build stay noted; a folder that is there already is not.
set(prefix "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(made)
if(EXISTS "${TUITION_RECORD}")
  file(STRINGS "${TUITION_RECORD}" made)
endif()
foreach(folder IN LISTS TUITION_FOLDERS)
  set(path "${prefix}/${folder}")
  while(NOT EXISTS "${path}" AND NOT path STREQUAL prefix)
    list(APPEND made "${path}")
    get_filename_component(path "${path}" DIRECTORY)
  endwhile()
endforeach()
list(REMOVE_DUPLICATES made)
list(JOIN made "\n" lines)
file(WRITE "${TUITION_RECORD}" "${lines}")
