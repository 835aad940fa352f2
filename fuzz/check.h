#pragma once
// A property a fuzz target holds for every input: when it fails, the target
// stops with the property's text, and libFuzzer keeps the input as a finding.
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (false)

// The sources of the fuzz build are copies with GBK literals; a literal that
// came through as UTF-8 would test other bytes than the program holds.
static_assert(sizeof("中文") == 5, "literals must be GBK in the fuzz build as well");
