# Run by `cmake --install` before it installs anything: writes TUITION_RECORD,
# whose first line is the prefix of this install, and each line after it a
# folder that an install from this build made: here, each of TUITION_FOLDERS
# (relative to the prefix) that is missing, and each missing folder above it,
# the prefix and its parents included. Folders noted by an earlier install
# from the same build stay noted; a folder that is there already is not.
#
# Names are kept as text, one a line, and never in a CMake list, which would
# split a name at a ';' and join two across a '['.
set(prefix "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

# The folders, each followed by a line break, after one: "\nFOLDER\n" finds
# any of them.
set(made "\n")
if(EXISTS "${TUITION_RECORD}")
  file(READ "${TUITION_RECORD}" earlier)
  string(FIND "${earlier}" "\n" end)
  if(NOT end EQUAL -1)
    string(SUBSTRING "${earlier}" ${end} -1 made)
    if(NOT made MATCHES "\n$")
      string(APPEND made "\n")
    endif()
  endif()
endif()

foreach(folder IN LISTS TUITION_FOLDERS)
  set(path "${prefix}/${folder}")
  while(NOT EXISTS "${path}" AND NOT path STREQUAL "")
    string(FIND "${made}" "\n${path}\n" noted)
    if(noted EQUAL -1)
      string(APPEND made "${path}\n")
    endif()
    get_filename_component(path "${path}" DIRECTORY)
  endwhile()
endforeach()
file(WRITE "${TUITION_RECORD}" "${prefix}${made}")
