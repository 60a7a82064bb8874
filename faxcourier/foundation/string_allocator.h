#pragma once
// Where String takes its buffers from. Tests install an allocator that
// fails on demand to check that no operation writes past its buffer when
// memory runs out; the program keeps the default (malloc).

#include <cstddef>

namespace korva {

using StringAllocator = void* (*)(std::size_t size);

// Installs `allocator` (null restores malloc) and returns the previous one.
// Buffers are always released with free().
StringAllocator setStringAllocator(StringAllocator allocator);

}  // namespace korva
