#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the fuzz run, naming the property that failed.
#define require(condition)                                                                                   \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "property failed at line %d: %s\n", __LINE__, #condition);                  \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)
