#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// A byte vector whose growth does not zero the new bytes: the build reads files straight into
// the end of its buffers, and an 8 MiB image need not be cleared before it is filled.
namespace tvx {

template <typename T>
class DefaultInitAllocator : public std::allocator<T> {
 public:
  template <typename U>
  struct rebind {
    using other = DefaultInitAllocator<U>;
  };
  using std::allocator<T>::allocator;

  template <typename U>
  void construct(U* place) noexcept {
    ::new (static_cast<void*>(place)) U;
  }
  template <typename U, typename... Args>
  void construct(U* place, Args&&... args) {
    std::allocator_traits<std::allocator<T>>::construct(static_cast<std::allocator<T>&>(*this),
                                                        place, std::forward<Args>(args)...);
  }
};

using ByteBuffer = std::vector<std::uint8_t, DefaultInitAllocator<std::uint8_t>>;

}  // namespace tvx
