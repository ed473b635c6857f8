// Memory blocks of the C-style API (arx/ads.h): acad_malloc and acad_free.
#include "arx/ads.h"

#include <cstdlib>

void* acad_malloc(size_t size) {
    return std::malloc(size > 0 ? size : 1);
}

void acad_free(void* p) {
    std::free(p);
}
