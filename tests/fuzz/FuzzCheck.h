// What the fuzz targets share: a check that aborts with a message, so a fuzzer or a corpus replay stops on
// the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

#define K58_FUZZ_CHECK(condition)                                                       \
  do {                                                                                  \
    if (!(condition)) {                                                                 \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                     \
    }                                                                                   \
  } while (false)
