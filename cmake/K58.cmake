# Helpers shared by the folders' CMakeLists.
#
# Unity build: with K58_UNITY (the default) a library's or test program's sources are compiled in batches
# of eight, each batch one translation unit, which shares the cost of the headers and of the code they
# instantiate. So names local to a source file (anonymous namespace, static) must not clash with those of
# the other files of its library; a file that cannot live with others (the X11 headers' macros) is marked
# with the source property SKIP_UNITY_BUILD_INCLUSION. -DK58_UNITY=OFF compiles file by file, which
# rebuilds less after an edit. In a batch every file but the first counts as included, so GCC's warning
# about file-local types in classes of included files (test fixtures in anonymous namespaces) is off.

function(k58_unity name)
  if(K58_UNITY)
    set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
    target_compile_options(${name} PRIVATE -Wno-subobject-linkage)
  endif()
endfunction()

# k58_library(<name> SOURCES ... [DEPS ...] [PRIVATE_DEPS ...])
# One static library per folder; DEPS are the layers below it.
#
# Every program that links the library, directly or through another library and however it names it,
# links all of its objects (--whole-archive, carried as a link option of the library itself). Objects that
# register themselves at start-up (classes, display back-ends, resource tables) are thus never left out
# although no code refers to them.
function(k58_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  k58_unity(${name})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
  target_link_options(${name} INTERFACE
    "SHELL:LINKER:--whole-archive $<TARGET_FILE:${name}> LINKER:--no-whole-archive")
endfunction()

# k58_test(<name> SOURCES ... DEPS ...)
# One GoogleTest executable, registered with CTest as a single test that runs all its cases.
# Tests run from the build's runtime directory so files next to the program are found.
function(k58_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  k58_unity(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/bin)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} k58_testmain)
  # The test framework's headers are the costliest part of every test file; they are compiled once for
  # all test programs (tests/common).
  target_precompile_headers(${name} REUSE_FROM k58_testpch)
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
