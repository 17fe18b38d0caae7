#pragma once

#include <cstdint>
#include <string>

#include "check/words.h"
#include "image/bmp_probe.h"
#include "image/picture_preparation.h"

// Two questions about a picture, kept apart: what its converter takes (the converter's own
// header checks decide), and what the build can make of it before the converter sees it.
namespace tvx {

PictureConverter ConverterOfBank(int bank);

struct ConverterVerdict {
  bool takes = false;
  std::string refusal;  // the converter's rule the picture breaks
};

ConverterVerdict WhatTheConverterTakes(const BmpProbe& probe, PictureConverter converter);

enum class Intake {
  kTaken,     // the converter takes the picture as it is
  kPrepared,  // the build first turns it into a form the converter takes
  kRefused,   // the slot stays empty, or (backgrounds) the build stops
};

struct IntakeVerdict {
  Intake intake = Intake::kRefused;
  ConverterVerdict converter;    // on the picture as it is
  std::uint64_t storedSize = 0;  // what the slot takes in the GLB; 0 when refused
  // The picture's own size; 0 when it cannot be read.
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool oddWidth = false;     // readable, but of a width the build does not prepare
  bool translucent = false;  // some pixel is not fully opaque
  std::string unreadable;    // why the decoder cannot read a refused picture
};

// The build hands a picture to its converter as it is when the converter takes it, and
// otherwise prepares it when the decoder reads it (PreparePicture). Headers decide where they
// can: a BMP's settle it, other forms and pictures with an alpha channel are decoded.
IntakeVerdict WhatTheBuildMakesOf(const std::string& path, const BmpProbe& probe,
                                  PictureConverter converter);

// Why a converter refuses a picture, in words, and whether saving it in the converter's form
// (the 40-byte header in particular) is the cure.
struct RefusalWords {
  Words reason;
  bool headerForm = false;  // the picture is in another BMP form than the converter's
};
RefusalWords ExplainRefusal(const BmpProbe& probe, const ConverterVerdict& verdict);

// Why the build leaves a picture out: its odd width, the decoder's words for a PNG or JPEG it
// cannot read, or else the converter's refusal.
RefusalWords ExplainRefusal(const BmpProbe& probe, const IntakeVerdict& verdict);

// What the build prepares a picture from, for the note: its form, or the converter's refusal.
Words PreparedFrom(const BmpProbe& probe, const IntakeVerdict& verdict);

}  // namespace tvx
