# Removes what `cmake --install` put under its prefix, as the install's
# manifest lists it, then each folder that this build's installs made (as
# RECORD notes them, after the prefix on its first line) and that is empty. A
# folder that was there before the install is never touched, nor is a file the
# manifest does not name. Run by the target `uninstall` as
#
#   cmake -DMANIFEST=BUILD/install_manifest.txt -DRECORD=BUILD/install_folders.txt
#         -P uninstall.cmake
#
# A name is never taken as a pattern, and never goes through a CMake list,
# which would split it at a ';' and join two across a '['. CMake writes the
# manifest through such a list, so a prefix with a ';' in its name leaves a
# manifest whose lines are pieces of names: then nothing is removed.

# next_line(TEXT LINE): takes the first line of the variable TEXT out of it
# and into the variable LINE.
macro(next_line text line)
  string(FIND "${${text}}" "\n" end)
  if(end EQUAL -1)
    set(${line} "${${text}}")
    set(${text} "")
  else()
    string(SUBSTRING "${${text}}" 0 ${end} ${line})
    math(EXPR end "${end} + 1")
    string(SUBSTRING "${${text}}" ${end} -1 ${text})
  endif()
endmacro()

function(refuse why)
  message(FATAL_ERROR "uninstall: ${why}; nothing was removed. Remove the files that \
${MANIFEST} lists by hand.")
endfunction()

if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "uninstall: this build has installed nothing (no ${MANIFEST})")
endif()
set(prefix "")
set(folders "")
if(EXISTS "${RECORD}")
  file(READ "${RECORD}" folders)
  next_line(folders prefix)
endif()
if(NOT IS_ABSOLUTE "${prefix}")
  refuse("${RECORD} does not say under which prefix the install was made")
endif()
if(prefix MATCHES ";")
  refuse("the prefix ${prefix} has a ';' in its name, at which CMake's install manifest splits \
the names of the files it installed")
endif()

# Every name is checked before any file is removed.
file(READ "${MANIFEST}" installed)
set(files "${installed}")
while(NOT files STREQUAL "")
  next_line(files path)
  string(FIND "${path}" "${prefix}/" at)
  if(NOT at EQUAL 0)
    refuse("${MANIFEST} names ${path}, which is not under the prefix ${prefix}")
  endif()
endwhile()

set(files "${installed}")
while(NOT files STREQUAL "")
  next_line(files path)
  if(IS_SYMLINK "${path}" OR (EXISTS "${path}" AND NOT IS_DIRECTORY "${path}"))
    message(STATUS "Removing ${path}")
    file(REMOVE "${path}")
  endif()
endwhile()

# rmdir removes a folder only when it is empty, and in one step, so that a
# file put there meanwhile is never lost. A folder goes before its parent:
# each round removes what the one before emptied.
set(removed 1)
while(removed)
  set(removed 0)
  set(kept "")
  set(left "${folders}")
  while(NOT left STREQUAL "")
    next_line(left folder)
    if(IS_DIRECTORY "${folder}" AND NOT IS_SYMLINK "${folder}")
      execute_process(COMMAND rmdir -- "${folder}" RESULT_VARIABLE failed ERROR_QUIET)
      if(failed)
        string(APPEND kept "${folder}\n")
      else()
        message(STATUS "Removing ${folder}/")
        set(removed 1)
      endif()
    endif()
  endwhile()
  set(folders "${kept}")
endwhile()
file(WRITE "${RECORD}" "${prefix}\n${folders}")
