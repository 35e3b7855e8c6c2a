# Cuts release VERSION in CHANGELOG.md: the changes under its Unreleased
# heading get a section of their own, headed with VERSION and today's date
# (UTC), below a new, empty Unreleased. That heading is the one place the
# version is set: every build, package and page follows from it, and the
# commit that adds it is the release (RELEASING.md).
#
#   cmake -DVERSION=X.Y.Z -P cmake/cut-release.cmake
get_filename_component(changelog ${CMAKE_CURRENT_LIST_DIR}/../CHANGELOG.md ABSOLUTE)
file(READ ${changelog} text)
string(REGEX MATCH "\n## \\[([0-9]+\\.[0-9]+\\.[0-9]+)\\] - " last "${text}")
set(last ${CMAKE_MATCH_1})
if(NOT VERSION MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+$" OR NOT VERSION VERSION_GREATER last)
  message(FATAL_ERROR "cut-release: name a version of three numbers after ${last}: "
                      "cmake -DVERSION=X.Y.Z -P cmake/cut-release.cmake")
endif()
string(FIND "${text}" "\n## [Unreleased]\n" unreleased)
if(unreleased EQUAL -1)
  message(FATAL_ERROR "cut-release: ${changelog} has no heading '## [Unreleased]'")
endif()
string(TIMESTAMP day "%Y-%m-%d" UTC)
string(REPLACE "\n## [Unreleased]\n" "\n## [Unreleased]\n\n## [${VERSION}] - ${day}\n" text
       "${text}")
file(WRITE ${changelog} "${text}")
message(STATUS "CHANGELOG.md: ${VERSION} of ${day}, after ${last}")
