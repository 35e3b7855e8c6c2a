# The test suite. Without GoogleTest the program still builds, but the suite
# is one test that fails and says why: a test run that ran nothing has failed.
enable_testing()

find_package(GTest QUIET)
if(NOT GTest_FOUND AND TUITION_GOOGLETEST_SOURCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${TUITION_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Its warnings are its own business, and its speed does not matter: it is
  # built for every CPU, and the optimiser takes most of that time.
  set_target_properties(gtest gtest_main PROPERTIES COMPILE_WARNING_AS_ERROR OFF)
  if(NOT MSVC)
    target_compile_options(gtest PRIVATE $<$<NOT:$<CONFIG:Debug>>:-O1>)
    target_compile_options(gtest_main PRIVATE $<$<NOT:$<CONFIG:Debug>>:-O1>)
  endif()
  set(GTest_FOUND TRUE)
endif()

if(NOT GTest_FOUND)
  message(WARNING "GoogleTest was not found: the program builds, the tests do not. "
                  "Install it (Debian: libgtest-dev) or set TUITION_GOOGLETEST_SOURCE.")
  add_test(NAME GoogleTestMissing COMMAND ${CMAKE_COMMAND} -P
                                          ${CMAKE_CURRENT_LIST_DIR}/googletest_missing.cmake)
  return()
endif()

find_package(Threads REQUIRED)
include(GoogleTest)

if(WIN32)
  set(TUITION_TEST_SYSTEM dialogue/test_subprocess-win32.cc)
else()
  set(TUITION_TEST_SYSTEM dialogue/test_subprocess-posix.cc)
endif()
add_executable(tuition_tests
  account/tuition_account_test.cc
  console/descriptor_output_test.cc
  console/flushing_input_test.cc
  console/utf16_test.cc
  dialogue/dialogue_test.cc
  dialogue/main_test.cc
  dialogue/test_allocations.cc
  ${TUITION_TEST_SYSTEM})
target_link_libraries(tuition_tests PRIVATE tuition_dialogue tuition_console GTest::gtest_main
                                            Threads::Threads)
target_compile_options(tuition_tests PRIVATE ${TUITION_WARNINGS})
# What the tests exercise is built as the program is; the tests' own code is
# built for a quick build, which takes half the time with the optimiser held
# back, and each CPU builds it.
if(NOT MSVC)
  target_compile_options(tuition_tests PRIVATE $<$<NOT:$<CONFIG:Debug>>:-O1>)
endif()
# The whole-program tests run the real executable: on Windows by its name,
# beside the tests, since a cross build's paths are not the Windows ones.
add_dependencies(tuition_tests tuition)
if(WIN32)
  target_compile_definitions(tuition_tests PRIVATE TUITION_EXECUTABLE="$<TARGET_FILE_NAME:tuition>")
else()
  target_compile_definitions(tuition_tests PRIVATE TUITION_EXECUTABLE="$<TARGET_FILE:tuition>")
  # What the small stack must not hold, to show that it holds nothing larger.
  add_executable(tuition_large_frame dialogue/test_large_frame.cc)
  add_dependencies(tuition_tests tuition_large_frame)
  target_compile_definitions(tuition_tests PRIVATE
                             TUITION_LARGE_FRAME_EXECUTABLE="$<TARGET_FILE:tuition_large_frame>")
  # Built for another CPU, the tests run under an emulator, and so must the
  # program they start: its command, the words joined by '|'.
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    list(JOIN CMAKE_CROSSCOMPILING_EMULATOR "|" emulator)
    target_compile_definitions(tuition_tests PRIVATE TUITION_EMULATOR="${emulator}")
  endif()
endif()
# The program as a packager who links it with -ffast-math builds it: the
# compiler's start-up code (crtfastmath.o) turns on flush-to-zero before main,
# where no check at compile time can see it.
include(CheckLinkerFlag)
check_linker_flag(CXX -ffast-math TUITION_LINKS_FAST_MATH)
if(TUITION_LINKS_FAST_MATH AND NOT MSVC)
  add_executable(tuition_linked_fast_math dialogue/main.cc)
  target_link_libraries(tuition_linked_fast_math PRIVATE tuition_dialogue tuition_console)
  target_link_options(tuition_linked_fast_math PRIVATE -ffast-math)
  add_dependencies(tuition_tests tuition_linked_fast_math)
  if(WIN32)
    set(linked_fast_math $<TARGET_FILE_NAME:tuition_linked_fast_math>)
  else()
    set(linked_fast_math $<TARGET_FILE:tuition_linked_fast_math>)
  endif()
  target_compile_definitions(tuition_tests PRIVATE
                             TUITION_LINKED_FAST_MATH_EXECUTABLE="${linked_fast_math}")
endif()
if(TUITION_SANITIZERS)
  # Some tests cap the program's address space, which the sanitizers outgrow.
  target_compile_definitions(tuition_tests PRIVATE TUITION_SANITIZED)
endif()

# Under Wine, building runs no Windows program: the tests are listed when
# CTest starts, once it has brought Wine up, and a last test takes it down.
if(WIN32 AND CMAKE_CROSSCOMPILING AND TUITION_WINE)
  set(wine_session sh ${CMAKE_CURRENT_LIST_DIR}/wine-for-tests)
  set(wine_marker ${CMAKE_BINARY_DIR}/wine-started-here)
  file(WRITE ${CMAKE_BINARY_DIR}/start_wine.cmake
       "set(ENV{WINEDEBUG} -all)\n"
       "execute_process(COMMAND ${wine_session} start ${TUITION_WINE} ${wine_marker})\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/start_wine.cmake)
  add_test(NAME StopWine COMMAND ${wine_session} stop ${TUITION_WINE} ${wine_marker})
  set_tests_properties(StopWine PROPERTIES FIXTURES_CLEANUP Wine)
  set(discovery DISCOVERY_MODE PRE_TEST PROPERTIES FIXTURES_REQUIRED Wine)
endif()
# Each case is a test of its own, which ctest -R picks by name; under qemu,
# where each process costs a second to start, the suite is one process.
if(CMAKE_CROSSCOMPILING_EMULATOR AND NOT WIN32)
  add_test(NAME tuition_tests COMMAND tuition_tests)
else()
  gtest_discover_tests(tuition_tests DISCOVERY_TIMEOUT 60 ${discovery})
endif()

# Each fuzz target replays its seed corpus without libFuzzer, so that every
# seed is a regression test in every build and not only in a fuzzing run. The
# float reader's target needs its reference, libstdc++'s own reader over a C
# library that rounds correctly (not MinGW-w64's).
set(replayed dialogue_fuzzer)
include(CheckCXXSourceCompiles)
check_cxx_source_compiles([[
#include <cstddef>
#if !defined(__GLIBCXX__) || defined(_WIN32)
#error "no reference reader"
#endif
int main() {}]] TUITION_HAVE_REFERENCE_READER)
if(TUITION_HAVE_REFERENCE_READER)
  list(APPEND replayed float_reader_fuzzer)
endif()
foreach(fuzzer IN LISTS replayed)
  add_executable(${fuzzer}_replay fuzz/${fuzzer}.cc fuzz/replay.cc)
  target_link_libraries(${fuzzer}_replay PRIVATE tuition_dialogue)
  target_compile_options(${fuzzer}_replay PRIVATE ${TUITION_WARNINGS})
  file(GLOB seeds CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/corpus/${fuzzer}/*)
  add_test(NAME ${fuzzer}_corpus COMMAND ${fuzzer}_replay ${seeds})
  if(discovery)
    set_tests_properties(${fuzzer}_corpus PROPERTIES FIXTURES_REQUIRED Wine)
  endif()
endforeach()

# Each way of reading an amount within its budget of instructions, counted by
# callgrind: for the program as a user builds it, with the standard library
# the budgets are set for, where it runs without an emulator. Without
# valgrind nothing is counted, and the test says it was skipped.
set(budgeted FALSE)
if(TUITION_HAVE_REFERENCE_READER AND CMAKE_BUILD_TYPE STREQUAL "Release"
   AND NOT CMAKE_CROSSCOMPILING AND NOT TUITION_SANITIZERS)
  set(budgeted TRUE)
  set(budget ${PROJECT_SOURCE_DIR}/bench/budget)
  add_test(NAME instruction_budget COMMAND bash ${budget} $<TARGET_FILE:tuition>)
  set_tests_properties(instruction_budget PROPERTIES SKIP_RETURN_CODE 77)
endif()

# Every float, written three ways, must read back right: the tests read every
# 65521st and those near the edges; fuzz/every-float reads them all.
add_executable(every_float fuzz/every_float.cc)
target_link_libraries(every_float PRIVATE tuition_float_reader)
target_compile_options(every_float PRIVATE ${TUITION_WARNINGS})
add_test(NAME every_float_stride COMMAND every_float 65521)
if(discovery)
  set_tests_properties(every_float_stride PROPERTIES FIXTURES_REQUIRED Wine)
endif()

# Negative controls. A proof that a fast path is taken proves something only
# if it fails when the path is not taken: each proof is run again on a reader
# with a fault planted in it (dialogue/float_reader.cc lists them), and must
# fail and say why. Here, with no emulator to pay for.
if(CMAKE_CROSSCOMPILING OR WIN32)
  return()
endif()
# expect_failure(NAME STATUS REGEX COMMAND...): the test NAME, which passes
# when COMMAND ends with STATUS ("" for any failure) and says REGEX.
function(expect_failure name status regex)
  set(status_option)
  if(NOT status STREQUAL "")
    set(status_option -DSTATUS=${status})
  endif()
  add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} ${status_option} "-DEXPECT=${regex}"
           -P ${PROJECT_SOURCE_DIR}/cmake/expect-failure.cmake -- ${ARGN})
endfunction()
foreach(fault kNoReadInPlace kNoShortPath kCountedTwice kWrongValue kPromiseRefused)
  tuition_float_reader(tuition_float_reader_${fault} TUITION_PLANTED_FAULT=${fault})
endforeach()

# planted(NAME FAULT SOURCES...): the program NAME_FAULT, built from SOURCES
# with the reader that has FAULT planted.
function(planted name fault)
  add_executable(${name}_${fault} ${ARGN})
  target_link_libraries(${name}_${fault} PRIVATE tuition_float_reader_${fault} tuition_console)
endfunction()

# The proof over every float, which checks every value and the count of
# numbers read in place after each.
set(faults kNoReadInPlace kCountedTwice kWrongValue kPromiseRefused)
set(saying "0 numbers read in place, not 1" "2 numbers read in place, not 1" "reads wrong"
           "0 numbers read in place, not 1")
foreach(fault said IN ZIP_LISTS faults saying)
  planted(every_float ${fault} fuzz/every_float.cc)
  expect_failure(every_float_catches_${fault} "" "${said}" $<TARGET_FILE:every_float_${fault}> 65521)
endforeach()

# The differential fuzz target, over its seed corpus.
if(TUITION_HAVE_REFERENCE_READER)
  file(GLOB seeds CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/corpus/float_reader_fuzzer/*)
  set(faults kNoReadInPlace kWrongValue kPromiseRefused)
  set(in_place "broken: a number that lies whole in the buffer is read there")
  set(saying "${in_place}" "broken: the same value" "${in_place}")
  foreach(fault said IN ZIP_LISTS faults saying)
    planted(float_reader_fuzzer ${fault} fuzz/float_reader_fuzzer.cc fuzz/replay.cc)
    expect_failure(float_reader_fuzzer_catches_${fault} "" "${said}"
                   $<TARGET_FILE:float_reader_fuzzer_${fault}> ${seeds})
  endforeach()
endif()

# The budget: with nothing read in place, every kind is over; with no short
# path, the short kinds are, and the others not.
if(budgeted)
  set(over "instructions a payment, budget [0-9]+: over budget")
  set(within "instructions a payment, budget [0-9]+: ok")
  set(short "short .*${over}.*seven digits .*${over}.*negative .*${over}")
  set(faults kNoReadInPlace kNoShortPath)
  set(saying "${short}.*long, ending in a point .*${over}.*with an exponent .*${over}"
             "${short}.*long, ending in a point .*${within}.*with an exponent .*${within}")
  foreach(fault said IN ZIP_LISTS faults saying)
    planted(tuition ${fault} dialogue/main.cc dialogue/dialogue.cc)
    expect_failure(instruction_budget_catches_${fault} 1 "${said}"
                   bash ${budget} $<TARGET_FILE:tuition_${fault}>)
  endforeach()
  # No valgrind: a skip, never a pass.
  find_program(TUITION_BASH bash)
  expect_failure(instruction_budget_skips_without_valgrind 77 "no valgrind"
                 ${CMAKE_COMMAND} -E env PATH=${CMAKE_BINARY_DIR}/no-such-folder
                 ${TUITION_BASH} ${budget} $<TARGET_FILE:tuition>)
endif()
