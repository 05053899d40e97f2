#pragma once

#include <cstddef>

// The heap libcrypto allocates from in every program that links the engines: cipher contexts and
// their key schedules, digest and random-generator states. Its pages are locked where the
// memory-lock limit allows and never written to a core dump; every block is wiped when it is
// freed or moved by a reallocation.
//
// It is installed by a constructor that runs before main (libcrypto takes new allocation
// functions only before its first allocation). Not installed in sanitizer builds: their
// allocator is what checks libcrypto's blocks there.
namespace HVCryptoHeap {

// Whether libcrypto allocates from this heap.
[[nodiscard]] bool Installed();

// The heap's own allocation functions (for the tests; libcrypto calls them through its hooks).
[[nodiscard]] void* Allocate(std::size_t nSize);
[[nodiscard]] void* Reallocate(void* p, std::size_t nSize);
void Free(void* p);
// Bytes the block at p can hold (at least what was asked for).
[[nodiscard]] std::size_t Capacity(const void* p);

}  // namespace HVCryptoHeap
