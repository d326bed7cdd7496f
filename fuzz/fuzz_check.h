#pragma once
// Invariant checks that stop the fuzzer with a message, in every build type.

#include <cstdio>
#include <cstdlib>

#define KAVO_FUZZ_CHECK(condition)                                                                 \
    ((condition)                                                                                   \
         ? void()                                                                                  \
         : (std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #condition), \
            std::abort()))
