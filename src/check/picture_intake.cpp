#include "check/picture_intake.h"

#include <optional>

#include "check/check_texts.h"
#include "image/bmp_file.h"
#include "image/bmp_lenient.h"
#include "image/image_error.h"
#include "image/normalised_bmp.h"
#include "image/picture_decoder.h"
#include "image/streams.h"
#include "image/truncate_converter.h"
#include "rom/resource_plan.h"
#include "util/error_text.h"

namespace tvx {

namespace {

bool is(const std::string& refusal, const char* rule) {
  return refusal == rule;
}

const char* kindName(const BmpProbe& probe) {
  return probe.kind == PictureFileKind::kPng    ? "PNG"
         : probe.kind == PictureFileKind::kJpeg ? "JPEG"
         : probe.kind == PictureFileKind::kGif  ? "GIF"
                                                : nullptr;
}

Words notBmp(const BmpProbe& probe) {
  const char* kind = kindName(probe);
  return kind != nullptr ? FormatWords(check_text::kNotBmpKind, kind)
                         : WordsOf(check_text::kNotBmp);
}

// What the decoder makes of a picture, from a BMP's headers when they settle it.
struct PictureLook {
  bool readable = false;
  std::string unreadable;
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool translucent = false;
};

std::optional<PictureLook> lookAtBmpHeaders(const std::string& path) {
  try {
    TFileInputStream in(path);
    const LenientBmpHeaders h = ReadLenientBmpHeaders(in);
    if (!h.hasAlpha) {
      return PictureLook{true, {}, h.width, h.height, false};
    }
  } catch (const EImageError&) {
    // The decoder says why.
  }
  return std::nullopt;
}

PictureLook lookAt(const std::string& path, const BmpProbe& probe) {
  if (probe.kind == PictureFileKind::kBmp) {
    if (std::optional<PictureLook> look = lookAtBmpHeaders(path)) {
      return *look;
    }
  }
  const Result<TArgbImage> decoded = DecodePictureFile(path);
  if (!decoded) {
    return {false, ErrorReason(decoded.error(), 0), 0, 0, false};
  }
  return {true, {}, decoded->Width(), decoded->Height(), !IsOpaque(*decoded)};
}

}  // namespace

PictureConverter ConverterOfBank(int bank) {
  return IsErrorDiffusionBank(bank) ? PictureConverter::kErrorDiffusion
                                    : PictureConverter::kTruncating;
}

ConverterVerdict WhatTheConverterTakes(const BmpProbe& probe, PictureConverter converter) {
  const std::string& refusal =
      converter == PictureConverter::kTruncating ? probe.truncateRefusal : probe.diffuseRefusal;
  return {refusal.empty(), refusal};
}

IntakeVerdict WhatTheBuildMakesOf(const std::string& path, const BmpProbe& probe,
                                  PictureConverter converter) {
  IntakeVerdict verdict;
  verdict.converter = WhatTheConverterTakes(probe, converter);
  if (verdict.converter.takes) {
    verdict.intake = Intake::kTaken;
    verdict.storedSize = probe.convertedSize();
    verdict.width = probe.header.width;
    verdict.height = probe.header.height;
    verdict.translucent = probe.header.hasAlpha && lookAt(path, probe).translucent;
    return verdict;
  }
  const PictureLook look = lookAt(path, probe);
  if (!look.readable) {
    verdict.unreadable = look.unreadable;
    return verdict;
  }
  verdict.width = look.width;
  verdict.height = look.height;
  if (!PreparesWidth(look.width, converter)) {
    verdict.oddWidth = true;
    return verdict;
  }
  verdict.intake = Intake::kPrepared;
  verdict.translucent = look.translucent;
  verdict.storedSize = BitFieldBmpFileSize(static_cast<std::uint64_t>(look.width),
                                           static_cast<std::uint64_t>(look.height), 16);
  return verdict;
}

RefusalWords ExplainRefusal(const BmpProbe& probe, const ConverterVerdict& verdict) {
  using namespace check_text;
  const std::string& rule = verdict.refusal;
  const BmpHeaderSummary& h = probe.header;
  if (probe.kind != PictureFileKind::kBmp || is(rule, truncate_rule::kTag) ||
      is(rule, bmp_rule::kTag)) {
    return {notBmp(probe), true};
  }
  if (is(rule, truncate_rule::kHeaderSize)) {
    return {FormatWords(kHeaderSize, h.headerSize), true};
  }
  if (is(rule, truncate_rule::kBitCount)) {
    return {FormatWords(kBitCount, unsigned{h.bitCount}), true};
  }
  if (is(rule, truncate_rule::kPlanes) || is(rule, bmp_rule::kPlanes)) {
    return {FormatWords(kPlanes, unsigned{h.planes}), true};
  }
  if (is(rule, truncate_rule::kCompression) || is(rule, bmp_rule::kRle4) ||
      is(rule, bmp_rule::kRle8)) {
    return {WordsOf(kCompressed), true};
  }
  if (is(rule, truncate_rule::kEvenWidth)) {
    return {FormatWords(kOddWidth, static_cast<long long>(h.width)), false};
  }
  if (is(rule, bmp_rule::kSizeRule)) {
    return {WordsOf(kSizeRule), true};
  }
  if (is(rule, bmp_rule::kRedMask555) || is(rule, bmp_rule::kBlueMask) ||
      is(rule, bmp_rule::kRedMask565) || is(rule, bmp_rule::kGreenMask565)) {
    return {WordsOf(kMasks), true};
  }
  if (is(rule, bmp_rule::kNoDecoder)) {
    return {FormatWords(kUnknownBits, unsigned{h.bitCount}), true};
  }
  return {FormatWords(kDamaged, rule.c_str()), false};
}

RefusalWords ExplainRefusal(const BmpProbe& probe, const IntakeVerdict& verdict) {
  if (verdict.oddWidth) {
    return {FormatWords(check_text::kOddWidth, static_cast<long long>(verdict.width)), false};
  }
  const bool decoded = probe.kind == PictureFileKind::kPng || probe.kind == PictureFileKind::kJpeg;
  if (decoded && !verdict.unreadable.empty()) {
    return {FormatWords(check_text::kDamaged, verdict.unreadable.c_str()), false};
  }
  return ExplainRefusal(probe, verdict.converter);
}

Words PreparedFrom(const BmpProbe& probe, const IntakeVerdict& verdict) {
  if (probe.kind != PictureFileKind::kBmp && kindName(probe) != nullptr) {
    return FormatWords(check_text::kPictureKind, kindName(probe));
  }
  return ExplainRefusal(probe, verdict.converter).reason;
}

}  // namespace tvx
