#pragma once
// Invariant checks that stop the fuzzer, naming the check, in every build type.

#include <cstdio>
#include <cstdlib>

#define KAVO_FUZZ_CHECK(condition)                                                                 \
    ((condition) ? void()                                                                          \
                 : (std::fputs("invariant failed: " #condition "\n", stderr), std::abort()))
