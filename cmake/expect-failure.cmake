# Runs a command that must fail and say why, for the suite's negative
# controls: a proof run on code with a fault planted in it. Passes only when
# the command ends otherwise than with status 0 (with exactly STATUS, where
# given) and its output matches every regular expression of EXPECT.
#
#   cmake -DEXPECT=REGEX[;REGEX...] [-DSTATUS=N] -P expect-failure.cmake -- COMMAND...
set(command)
set(after_dashes FALSE)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE ${last})
  if(after_dashes)
    list(APPEND command "${CMAKE_ARGV${i}}")
  elseif(CMAKE_ARGV${i} STREQUAL "--")
    set(after_dashes TRUE)
  endif()
endforeach()
if(NOT command)
  message(FATAL_ERROR "expect-failure: no command after --")
endif()

execute_process(COMMAND ${command} RESULT_VARIABLE status OUTPUT_VARIABLE said ERROR_VARIABLE said)
message("${said}")
if(DEFINED STATUS)
  if(NOT status STREQUAL STATUS)
    message(FATAL_ERROR "expect-failure: ended with ${status}, not ${STATUS}")
  endif()
elseif(status STREQUAL "0")
  message(FATAL_ERROR "expect-failure: succeeded, though it must fail")
endif()
foreach(expected IN LISTS EXPECT)
  if(NOT said MATCHES "${expected}")
    message(FATAL_ERROR "expect-failure: ended with ${status}, without saying: ${expected}")
  endif()
endforeach()
