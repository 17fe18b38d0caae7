#pragma once

#include <cstddef>

namespace YVclUtil {

// A fresh, zero-filled read-write region straight from the system's page allocator, starting
// at a multiple of its own size rounded up to a power of two (at least one page); null when
// the system refuses or size is 0.
void* YAllocVirtualMem(std::size_t size);
// Releases a whole region from YAllocVirtualMem; false when address is not the start of one.
bool YFreeVirtualMem(void* address);

}  // namespace YVclUtil
