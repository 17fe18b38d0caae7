#include "image/png_decoder.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "image/bmp_file.h"
#include "image/image_error.h"

// libpng leaves a failed call through longjmp: the functions that call it keep no object with
// a destructor in their frames, and everything they fill is owned by the caller.
namespace tvx {

namespace {

constexpr const char* kDamaged = "a damaged PNG: ";

struct PngInput {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  std::size_t position = 0;
  char message[256] = {};
};

void readInput(png_structp png, png_bytep out, png_size_t n) {
  auto* input = static_cast<PngInput*>(png_get_io_ptr(png));
  if (n > input->size - input->position) {
    png_error(png, "the file ends inside the picture");
  }
  std::memcpy(out, input->data + input->position, n);
  input->position += n;
}

void fail(png_structp png, png_const_charp message) {
  auto* input = static_cast<PngInput*>(png_get_error_ptr(png));
  std::snprintf(input->message, sizeof input->message, "%s", message);
  png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

// Owns libpng's structures for one decoding.
class PngReading {
 public:
  explicit PngReading(PngInput& input)
      : m_png(png_create_read_struct(PNG_LIBPNG_VER_STRING, &input, fail, ignoreWarning)),
        m_info(m_png != nullptr ? png_create_info_struct(m_png) : nullptr) {
    if (m_png != nullptr) {
      png_set_read_fn(m_png, &input, readInput);
      png_set_user_limits(m_png, kMaxBmpSide, kMaxBmpSide);
    }
  }
  ~PngReading() { png_destroy_read_struct(&m_png, &m_info, nullptr); }
  PngReading(const PngReading&) = delete;
  PngReading& operator=(const PngReading&) = delete;

  bool created() const { return m_png != nullptr && m_info != nullptr; }
  png_structp png() const { return m_png; }
  png_infop info() const { return m_info; }

 private:
  png_structp m_png;
  png_infop m_info;
};

struct PngLayout {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  png_size_t rowBytes = 0;
};

// Reads the header and asks for 8-bit B, G, R, A rows; false when libpng fails.
bool readLayout(png_structp png, png_infop info, PngLayout* layout) {
  if (setjmp(png_jmpbuf(png)) != 0) {
    return false;
  }
  png_read_info(png, info);
  png_set_expand(png);
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  png_set_bgr(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  layout->width = png_get_image_width(png, info);
  layout->height = png_get_image_height(png, info);
  layout->rowBytes = png_get_rowbytes(png, info);
  return true;
}

bool readRows(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png)) != 0) {
    return false;
  }
  png_read_image(png, rows);
  return true;
}

Error damaged(const char* words) {
  return Error::Invalid({}, kDamaged + std::string(words));
}

}  // namespace

Result<void> DecodePng(std::span<const std::uint8_t> bytes, TArgbImage& image) {
  PngInput input;
  input.data = bytes.data();
  input.size = bytes.size();
  PngReading reading(input);
  if (!reading.created()) {
    return Error::Invalid({}, "out of memory");
  }
  PngLayout layout;
  if (!readLayout(reading.png(), reading.info(), &layout)) {
    return damaged(input.message);
  }
  if (static_cast<std::uint64_t>(layout.width) * layout.height > kMaxBmpPixels) {
    return Error::Invalid({}, "a PNG of more than 0x4000000 pixels");
  }
  if (layout.rowBytes != static_cast<png_size_t>(layout.width) * 4) {
    return damaged("a row layout other than 8-bit B, G, R, A");
  }
  try {
    image.Resize(static_cast<int>(layout.width), static_cast<int>(layout.height));
    std::vector<png_bytep> rows(layout.height);
    for (png_uint_32 y = 0; y < layout.height; ++y) {
      rows[y] = image.Row(static_cast<int>(y));
    }
    if (!readRows(reading.png(), rows.data())) {
      return damaged(input.message);
    }
  } catch (const std::bad_alloc&) {
    return Error::Invalid({}, "out of memory");
  } catch (const EImageError& error) {
    return Error::Invalid({}, error.what());
  }
  return {};
}

}  // namespace tvx
