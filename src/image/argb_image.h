#pragma once

#include <cstdint>
#include <memory>
#include <utility>

namespace tvx {

// Where a picture's pixels are: rows top-down, each `Stride` bytes apart.
struct TImageDesc {
  std::uint8_t* Pixels = nullptr;
  int Stride = 0;
  int Width = 0;
  int Height = 0;
};

// A picture the BMP reader can fill.
class TImage {
 public:
  virtual ~TImage() = default;
  virtual void Resize(int width, int height) = 0;
  virtual TImageDesc Lock() = 0;
  virtual void Unlock() = 0;
};

// Lock() for as long as it lives, Unlock() on every way out.
class ImageLock {
 public:
  explicit ImageLock(TImage& image) : m_image(image), m_desc(image.Lock()) {}
  ~ImageLock() { m_image.Unlock(); }
  ImageLock(const ImageLock&) = delete;
  ImageLock& operator=(const ImageLock&) = delete;

  const TImageDesc& desc() const { return m_desc; }

 private:
  TImage& m_image;
  TImageDesc m_desc;
};

// A picture of 32-bit pixels 0xAARRGGBB (bytes B, G, R, A in memory), rows top-down,
// stride width × 4. It owns its pixel block.
class TArgbImage : public TImage {
 public:
  TArgbImage() = default;
  TArgbImage(int width, int height) { Allocate(width, height); }
  TArgbImage(const TArgbImage&) = delete;
  TArgbImage& operator=(const TArgbImage&) = delete;
  TArgbImage(TArgbImage&& other) noexcept
      : m_block(std::move(other.m_block)), m_desc(std::exchange(other.m_desc, TImageDesc{})) {}
  TArgbImage& operator=(TArgbImage&& other) noexcept {
    m_block = std::move(other.m_block);
    m_desc = std::exchange(other.m_desc, TImageDesc{});
    return *this;
  }

  // Releases the block when either value is below 1, keeps it when the size is unchanged,
  // otherwise allocates a new one (contents undefined).
  void Resize(int width, int height) override;
  TImageDesc Lock() override { return m_desc; }
  void Unlock() override {}

  // Allocates width × height pixels; a width or height below 1 gives an empty picture.
  // Fails with "TArgbImage::Allocate ERROR!" when the block cannot be addressed.
  virtual void Allocate(int width, int height);
  virtual void Release();

  int Width() const { return m_desc.Width; }
  int Height() const { return m_desc.Height; }
  int Stride() const { return m_desc.Stride; }
  std::uint8_t* Row(int y) {
    return m_desc.Pixels + static_cast<std::ptrdiff_t>(y) * m_desc.Stride;
  }
  const std::uint8_t* Row(int y) const {
    return m_desc.Pixels + static_cast<std::ptrdiff_t>(y) * m_desc.Stride;
  }
  // The pixel at (x, y) as 0xAARRGGBB.
  std::uint32_t Pixel(int x, int y) const;
  void SetPixel(int x, int y, std::uint32_t argb);

 private:
  std::unique_ptr<std::uint8_t[]> m_block;
  TImageDesc m_desc;
};

}  // namespace tvx
