# Everything is built under AddressSanitizer and UndefinedBehaviorSanitizer, and instrumented
# for libFuzzer's coverage so that tests/fuzz can link the fuzzer in. Any finding ends the
# program with an error, undefined behaviour included.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "GRIDVANE_SANITIZE needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
endif()
add_compile_options(-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all
  -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)

# Every test of this build, and every program a test starts, reads the sanitizers' options
# from the environment that ctest passes on. The symbolizer falls back to binutils' addr2line
# when llvm-symbolizer is missing.
set(sanitizer_env ${CMAKE_BINARY_DIR}/sanitizer_env.cmake)
file(WRITE ${sanitizer_env} "
set(ENV{ASAN_OPTIONS} \"detect_leaks=1:allow_addr2line=1\")
set(ENV{UBSAN_OPTIONS} \"print_stacktrace=1:allow_addr2line=1\")
")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${sanitizer_env})
