# libFuzzer targets.
#
#   k58_fuzz_target(<name> SOURCE <file> DEPS <library>...)
#
# A target is a source file that defines the input function
#   extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size);
# and checks what it wants to hold by aborting. With K58_FUZZ on (scripts/fuzz configures so, with clang
# and the fuzzer instrumentation in CMAKE_CXX_FLAGS) it becomes the fuzzer fuzz/<name>. In the ordinary
# test build it is linked with tests/fuzz/FuzzReplay.cpp into tests/bin/<name>_corpus, registered as a
# test that runs the input function on every file of tests/fuzz/<name>/ (its seed corpus and the inputs
# that once failed) under the sanitizers of that build.

option(K58_FUZZ "Build the libFuzzer targets instead of their corpus replays (clang only)" OFF)

function(k58_fuzz_target name)
  cmake_parse_arguments(ARG "" "SOURCE" "DEPS" ${ARGN})
  if(NOT ARG_SOURCE)
    message(FATAL_ERROR "k58_fuzz_target(${name}): no SOURCE given")
  endif()
  if(K58_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
      message(FATAL_ERROR "K58_FUZZ needs clang (scripts/fuzz configures it)")
    endif()
    add_executable(${name} ${ARG_SOURCE})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  else()
    add_executable(${name}_corpus ${ARG_SOURCE} ${CMAKE_SOURCE_DIR}/tests/fuzz/FuzzReplay.cpp)
    target_link_libraries(${name}_corpus PRIVATE ${ARG_DEPS})
    set_target_properties(${name}_corpus PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/bin)
    add_test(NAME ${name}_corpus COMMAND ${name}_corpus ${CMAKE_SOURCE_DIR}/tests/fuzz/${name})
    set_tests_properties(${name}_corpus PROPERTIES TIMEOUT 600)
  endif()
endfunction()
