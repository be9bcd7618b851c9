// Under AddressSanitizer, tests may watch every allocation and free through
// the sanitizer runtime's hooks (GCC ships no header for them); they then
// find ZV_WATCH_ALLOCATIONS defined.
#pragma once

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
extern "C" int __sanitizer_install_malloc_and_free_hooks(
    void (*mallocHook)(const volatile void*, size_t), void (*freeHook)(const volatile void*));
#define ZV_WATCH_ALLOCATIONS 1
#endif
