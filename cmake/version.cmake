# The version a build says it holds, and the time every artefact it makes
# carries, so that a download can be checked against a rebuild:
# - a build of the commit that made the release (the one that gave
#   CHANGELOG.md its section for PROJECT_VERSION), or of sources without
#   their git history, is the release: PROJECT_VERSION, at the release's date;
# - a build of any later commit says so, the Debian way, as the release it
#   follows, the day and time of day of that commit (UTC) and the commit
#   itself, 1.1.0+git20261215.134501.abc1234, at that commit's time. That
#   sorts after 1.1.0 and before any later release, and two commits after it
#   in the order they were made, even on one day, for dpkg and rpm alike
#   (the hash comes last, and tells apart only commits of the same second);
#   so is a build of a shallow clone whose history stops before it can show
#   that its commit made the release, since the time is the commit's own.
# Sets TUITION_VERSION, TUITION_DAY (YYYY-MM-DD) and TUITION_TIME (seconds
# since 1970).
set(TUITION_VERSION ${PROJECT_VERSION})
unset(TUITION_DAY)
unset(TUITION_TIME)

file(STRINGS ${PROJECT_SOURCE_DIR}/CHANGELOG.md release
     REGEX "^## \\[${PROJECT_VERSION}\\] - [0-9]+-[0-9]+-[0-9]+$")
if(release MATCHES "([0-9]+)-([0-9]+)-([0-9]+)$")
  set(TUITION_DAY ${CMAKE_MATCH_1}-${CMAKE_MATCH_2}-${CMAKE_MATCH_3})
  # Days since 1970-01-01 of a Gregorian date, by Howard Hinnant's method.
  set(year ${CMAKE_MATCH_1})
  math(EXPR month "${CMAKE_MATCH_2}")  # without a leading zero
  math(EXPR day "${CMAKE_MATCH_3}")
  if(month LESS_EQUAL 2)
    math(EXPR year "${year} - 1")
    math(EXPR month "${month} + 9")
  else()
    math(EXPR month "${month} - 3")
  endif()
  math(EXPR era "${year} / 400")
  math(EXPR year_of_era "${year} - ${era} * 400")
  math(EXPR day_of_year "(153 * ${month} + 2) / 5 + ${day} - 1")
  math(EXPR day_of_era
       "${year_of_era} * 365 + ${year_of_era} / 4 - ${year_of_era} / 100 + ${day_of_year}")
  math(EXPR TUITION_TIME "(${era} * 146097 + ${day_of_era} - 719468) * 86400")
endif()

find_package(Git QUIET)
if(GIT_FOUND AND EXISTS ${PROJECT_SOURCE_DIR}/.git)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${GIT_EXECUTABLE} log -1
                          --date=format-local:%Y-%m-%d.%H%M%S "--format=%H %h %ct %cd"
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE head
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%H "-S## [${PROJECT_VERSION}]"
                          -- CHANGELOG.md
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE release_commit
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  # A shallow clone shows its oldest commits without their parents, so the
  # search above finds CHANGELOG.md's whole text, the section and all, added
  # by the oldest: a clone of depth 1 would pass any commit for the release.
  # A build whose history is cut short at the commit found cannot prove it is
  # the release, and is built as a later commit is.
  execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --git-path shallow
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE shallow
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  get_filename_component(shallow "${shallow}" ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
  set(cut_short)
  if(EXISTS "${shallow}")
    file(STRINGS "${shallow}" cut_short)
    # Fetching the history removes the file, and may make this the release.
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${shallow}")
  endif()
  string(REPLACE " " ";" head "${head}")
  list(LENGTH head fields)
  if(fields EQUAL 4)
    list(GET head 0 commit)
    if(NOT commit STREQUAL release_commit OR release_commit IN_LIST cut_short)
      list(GET head 1 short)
      list(GET head 2 TUITION_TIME)
      list(GET head 3 when)
      string(REGEX REPLACE "[.].*" "" TUITION_DAY "${when}")
      string(REPLACE "-" "" when "${when}")
      set(TUITION_VERSION ${PROJECT_VERSION}+git${when}.${short})
    endif()
    if(commit STREQUAL release_commit AND release_commit IN_LIST cut_short)
      message(WARNING "This shallow clone's history ends at its own commit, so it cannot "
                      "show whether this commit released ${PROJECT_VERSION}, and builds it as "
                      "${TUITION_VERSION}, a commit after the release. If it is the release, "
                      "fetch the history (git fetch --unshallow) and configure again.")
    endif()
  endif()
  # A new commit is a new version: configuring again when the branch moves.
  execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --symbolic-full-name HEAD
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE branch
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  foreach(ref HEAD ${branch})
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --git-path ${ref}
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE path
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    get_filename_component(path "${path}" ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
    if(EXISTS "${path}")
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${path}")
    endif()
  endforeach()
endif()

if(NOT TUITION_TIME)
  message(WARNING "CHANGELOG.md has no section for ${PROJECT_VERSION} and this is no git "
                  "checkout: packages will hold the time they are made, unless "
                  "SOURCE_DATE_EPOCH is set.")
endif()
