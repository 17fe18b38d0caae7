#include "check/picture_intake.h"

#include "check/check_texts.h"
#include "image/bmp_file.h"
#include "image/truncate_converter.h"
#include "rom/resource_plan.h"

namespace tvx {

namespace {

bool is(const std::string& refusal, const char* rule) {
  return refusal == rule;
}

Words notBmp(const BmpProbe& probe) {
  const char* kind = probe.kind == PictureFileKind::kPng    ? "PNG"
                     : probe.kind == PictureFileKind::kJpeg ? "JPEG"
                     : probe.kind == PictureFileKind::kGif  ? "GIF"
                                                            : nullptr;
  return kind != nullptr ? FormatWords(check_text::kNotBmpKind, kind)
                         : WordsOf(check_text::kNotBmp);
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

IntakeVerdict WhatTheBuildMakesOf(const BmpProbe& probe, PictureConverter converter) {
  IntakeVerdict verdict;
  verdict.converter = WhatTheConverterTakes(probe, converter);
  if (verdict.converter.takes) {
    verdict.intake = Intake::kTaken;
    verdict.storedSize = probe.convertedSize();
  }
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

}  // namespace tvx
