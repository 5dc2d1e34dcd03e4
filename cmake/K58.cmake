# Helpers shared by the folders' CMakeLists.

# k58_library(<name> SOURCES ... [DEPS ...] [PRIVATE_DEPS ...])
# One static library per folder; DEPS are the layers below it.
function(k58_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

# k58_test(<name> SOURCES ... DEPS ...)
# One GoogleTest executable, registered with CTest as a single test that runs all its cases.
# Tests run from the build's runtime directory so files next to the program are found.
function(k58_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/bin)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock k58_testmain)
  # The test framework's headers are the costliest part of every test file; compile them once.
  target_precompile_headers(${name} PRIVATE <gtest/gtest.h> <gmock/gmock.h>)
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "K58_TEST_DATA=${CMAKE_SOURCE_DIR}/tests/data;K58_RUNTIME_DIR=${K58_RUNTIME_DIR}")
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()
