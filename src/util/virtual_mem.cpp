#include "util/virtual_mem.h"

#include <sys/mman.h>
#include <unistd.h>

#include <bit>
#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace YVclUtil {
namespace {

std::mutex g_mutex;
// Start address -> mapped length, so that a free knows the size and refuses strangers.
std::unordered_map<std::uintptr_t, std::size_t>& regions() {
  static std::unordered_map<std::uintptr_t, std::size_t> map;
  return map;
}

std::size_t pageSize() {
  static const std::size_t size = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  return size;
}

}  // namespace

void* YAllocVirtualMem(std::size_t size) {
  if (size == 0 || size > (std::size_t{1} << 40)) {
    return nullptr;
  }
  const std::size_t page = pageSize();
  const std::size_t length = (size + page - 1) / page * page;
  const std::size_t alignment = std::bit_ceil(length);
  // Map enough to find an aligned start, then give back the unaligned head and the tail.
  const std::size_t mapped = length + alignment;
  void* raw = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) {
    return nullptr;
  }
  const auto base = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t start = (base + alignment - 1) & ~(alignment - 1);
  if (start > base) {
    munmap(raw, start - base);
  }
  const std::uintptr_t end = start + length;
  if (base + mapped > end) {
    munmap(reinterpret_cast<void*>(end), base + mapped - end);
  }
  std::lock_guard lock(g_mutex);
  regions()[start] = length;
  return reinterpret_cast<void*>(start);
}

bool YFreeVirtualMem(void* address) {
  std::size_t length = 0;
  {
    std::lock_guard lock(g_mutex);
    auto it = regions().find(reinterpret_cast<std::uintptr_t>(address));
    if (it == regions().end()) {
      return false;
    }
    length = it->second;
    regions().erase(it);
  }
  return munmap(address, length) == 0;
}

}  // namespace YVclUtil
