// FUZZ_CHECK: a broken invariant is a crash that libFuzzer reports and saves.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                      \
  do {                                                                                             \
    if (!(condition)) {                                                                            \
      std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition);       \
      std::abort();                                                                                \
    }                                                                                              \
  } while (0)
