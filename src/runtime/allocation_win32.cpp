// The program's own operator new on Windows: a failed allocation is noted with its size before
// std::bad_alloc is thrown, so the last-resort box can say how much was asked for. The native
// build keeps the sanitizers' allocator.

#include <cstdlib>
#include <new>

#include "runtime/fatal_error.h"

void* operator new(std::size_t size) {
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    yz::FailAllocation(size);
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
