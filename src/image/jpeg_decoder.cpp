#include "image/jpeg_decoder.h"

// jpeglib.h needs the declarations of <cstdio> before it.
#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "image/bmp_file.h"
#include "image/image_error.h"

// libjpeg leaves a failed call through longjmp: the functions that call it keep no object with
// a destructor in their frames, and everything they fill is owned by the caller.
namespace tvx {

namespace {

// A progressive file can hold any number of scans, each a pass over the whole picture; real
// encoders write about ten.
constexpr int kMaxScans = 500;
// Progressive pictures keep all their coefficients in memory while they are read.
constexpr long kMaxDecoderMemory = 512L * 1024 * 1024;

// The error manager first, so that libjpeg's pointer to it is a pointer to the whole.
struct JpegFailure {
  jpeg_error_mgr manager{};
  std::jmp_buf jump{};
  char message[JMSG_LENGTH_MAX] = {};
};

[[noreturn]] void failWith(j_common_ptr cinfo, const char* words) {
  auto* failure = reinterpret_cast<JpegFailure*>(cinfo->err);
  std::snprintf(failure->message, sizeof failure->message, "%s", words);
  std::longjmp(failure->jump, 1);
}

[[noreturn]] void fail(j_common_ptr cinfo) {
  char words[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, words);
  failWith(cinfo, words);
}

// Damaged entropy data is only warned about (the picture shows grey there); a file that ends
// early is refused, everything else is kept quiet.
void note(j_common_ptr cinfo, int level) {
  if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) {
    fail(cinfo);
  }
}

void silence(j_common_ptr) {}

void limitScans(j_common_ptr cinfo) {
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
    failWith(cinfo, "more than 500 scans");
  }
}

// Owns libjpeg's decompressor for one decoding.
struct JpegReading {
  jpeg_decompress_struct cinfo{};
  JpegFailure failure;
  jpeg_progress_mgr progress{};
  bool created = false;

  JpegReading() = default;
  ~JpegReading() {
    if (created) {
      jpeg_destroy_decompress(&cinfo);
    }
  }
  JpegReading(const JpegReading&) = delete;
  JpegReading& operator=(const JpegReading&) = delete;
};

struct JpegLayout {
  JDIMENSION width = 0;
  JDIMENSION height = 0;
  bool cmyk = false;
  bool inverted = false;  // Adobe's CMYK files store 255 - ink
};

// Creates the decompressor and reads the headers; false when libjpeg fails.
bool readLayout(JpegReading* reading, std::span<const std::uint8_t> bytes, JpegLayout* layout) {
  j_decompress_ptr cinfo = &reading->cinfo;
  cinfo->err = jpeg_std_error(&reading->failure.manager);
  reading->failure.manager.error_exit = fail;
  reading->failure.manager.emit_message = note;
  reading->failure.manager.output_message = silence;
  if (setjmp(reading->failure.jump) != 0) {
    return false;
  }
  // Destroying a decompressor whose creation failed does nothing.
  reading->created = true;
  jpeg_create_decompress(cinfo);
  reading->progress.progress_monitor = limitScans;
  cinfo->progress = &reading->progress;
  cinfo->mem->max_memory_to_use = kMaxDecoderMemory;
  jpeg_mem_src(cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(cinfo, TRUE);
  layout->width = cinfo->image_width;
  layout->height = cinfo->image_height;
  layout->cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  layout->inverted = cinfo->saw_Adobe_marker != 0;
  cinfo->out_color_space = layout->cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  return true;
}

// libjpeg's scaled decoding: the smallest numerator over 8 whose result is at least `need`.
unsigned scaleNumerator(const JpegLayout& layout, PictureSize need) {
  for (unsigned numerator : {1U, 2U, 4U}) {
    const auto scaled = [numerator](JDIMENSION length) {
      return (static_cast<std::uint64_t>(length) * numerator + 7) / 8;
    };
    if (scaled(layout.width) >= static_cast<std::uint64_t>(std::max(need.width, 1)) &&
        scaled(layout.height) >= static_cast<std::uint64_t>(std::max(need.height, 1))) {
      return numerator;
    }
  }
  return 8;
}

// Sets the scale and reads back the size libjpeg will deliver; false when libjpeg fails.
bool scaleLayout(JpegReading* reading, unsigned numerator, JpegLayout* layout) {
  j_decompress_ptr cinfo = &reading->cinfo;
  if (setjmp(reading->failure.jump) != 0) {
    return false;
  }
  cinfo->scale_num = numerator;
  cinfo->scale_denom = 8;
  jpeg_calc_output_dimensions(cinfo);
  layout->width = cinfo->output_width;
  layout->height = cinfo->output_height;
  return true;
}

// Reads every row into rows[y]: B, G, R, A, or C, M, Y, K for a CMYK picture.
bool readRows(JpegReading* reading, JSAMPROW* rows) {
  j_decompress_ptr cinfo = &reading->cinfo;
  if (setjmp(reading->failure.jump) != 0) {
    return false;
  }
  jpeg_start_decompress(cinfo);
  while (cinfo->output_scanline < cinfo->output_height) {
    jpeg_read_scanlines(cinfo, rows + cinfo->output_scanline,
                        cinfo->output_height - cinfo->output_scanline);
  }
  jpeg_finish_decompress(cinfo);
  return true;
}

std::uint8_t inkless(std::uint32_t ink, std::uint32_t black, bool inverted) {
  const std::uint32_t paper = inverted ? ink : 255 - ink;
  const std::uint32_t light = inverted ? black : 255 - black;
  return static_cast<std::uint8_t>((paper * light + 127) / 255);
}

void cmykToArgb(TArgbImage& image, bool inverted) {
  for (int y = 0; y < image.Height(); ++y) {
    std::uint8_t* p = image.Row(y);
    for (int x = 0; x < image.Width(); ++x, p += 4) {
      const std::uint8_t c = p[0];
      const std::uint8_t m = p[1];
      const std::uint8_t yellow = p[2];
      const std::uint8_t k = p[3];
      p[0] = inkless(yellow, k, inverted);
      p[1] = inkless(m, k, inverted);
      p[2] = inkless(c, k, inverted);
      p[3] = 0xFF;
    }
  }
}

Error damaged(const char* words) {
  return Error::Invalid({}, "a damaged JPEG: " + std::string(words));
}

}  // namespace

Result<void> DecodeJpeg(std::span<const std::uint8_t> bytes, TArgbImage& image,
                        const DecodedSizeFloor& floor) {
  JpegReading reading;
  JpegLayout layout;
  if (!readLayout(&reading, bytes, &layout)) {
    return damaged(reading.failure.message);
  }
  if (layout.width > kMaxBmpSide || layout.height > kMaxBmpSide ||
      static_cast<std::uint64_t>(layout.width) * layout.height > kMaxBmpPixels) {
    return Error::Invalid({}, "a JPEG of " + std::to_string(layout.width) + " × " +
                                  std::to_string(layout.height) +
                                  " pixels, beyond 32767 a side or 0x4000000 in all");
  }
  if (floor) {
    const PictureSize need =
        floor({static_cast<int>(layout.width), static_cast<int>(layout.height)});
    if (!scaleLayout(&reading, scaleNumerator(layout, need), &layout)) {
      return damaged(reading.failure.message);
    }
  }
  try {
    image.Resize(static_cast<int>(layout.width), static_cast<int>(layout.height));
    std::vector<JSAMPROW> rows(layout.height);
    for (JDIMENSION y = 0; y < layout.height; ++y) {
      rows[y] = image.Row(static_cast<int>(y));
    }
    if (!readRows(&reading, rows.data())) {
      return damaged(reading.failure.message);
    }
  } catch (const std::bad_alloc&) {
    return Error::Invalid({}, "out of memory");
  } catch (const EImageError& error) {
    return Error::Invalid({}, error.what());
  }
  if (layout.cmyk) {
    cmykToArgb(image, layout.inverted);
  }
  return {};
}

}  // namespace tvx
