#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "rom/build_report.h"
#include "rom/rom_layout.h"
#include "util/result.h"

// The GLB assembler: turns a resource list into a GLB file. Pictures are converted to the
// indicator's 16 bits (backgrounds in bank 7 with error diffusion, all others by truncation),
// library resources are copied unconverted; every resource whose first bytes are "BM" gets
// them replaced by two size bytes, which is how the indicator recognises its resources.
namespace tvx {

struct GlbOptions {
  // The loaded picture library; empty when there is none.
  std::span<const std::uint8_t> library{};
  // The build's private folder: the converted picture "TempBmp.bmp" and the exported library
  // resource "KWX_TEMPBMP.BMP" are made there, and a relative ROMFILENAME is taken there.
  std::string workFolder;
  // The largest GLB allowed (header, directory and data). The build passes what the ROM image
  // leaves beside the configuration block.
  std::uint64_t sizeLimit = kGlbMaxSize;
};

struct GlbResult {
  // False when the resources did not fit sizeLimit; then no GLB file was written and the
  // resources after the one that overflowed were not looked at.
  bool written = false;
  std::string glbPath;        // the file written
  std::uint64_t glbSize = 0;  // its length
  ResourceChecks checks{};
};

// Reads the resource list at listPath and writes the GLB it names ("GLOBAL" / "ROMFILENAME"
// with its extension replaced by ".GLB"). Slots whose picture the truncating converter refuses,
// and library references that find nothing, stay empty with a warning in the log. A picture
// that the background converter refuses, a value that is neither a picture file nor a library
// reference, and files that cannot be read or written end the build with an error naming them.
Result<GlbResult> MakeGLB(const std::string& listPath, const GlbOptions& options,
                          const BuildReporter& reporter);

// Replaces "BM" at the start of a resource by (size >> 2) and (size >> 2) + (size >> 3), each
// taken modulo 256.
void ReplaceBmTag(std::span<std::uint8_t> resource);

// The path with its extension (after the last dot of the file name) replaced, or appended
// when the file name has none.
std::string ChangeFileExt(const std::string& path, const std::string& extension);

}  // namespace tvx
