#pragma once

#include <cstdint>
#include <string>

#include "check/words.h"
#include "image/bmp_probe.h"

// Two questions about a picture, kept apart: what its converter takes (the converter's own
// header checks decide), and what the build can make of it before the converter sees it.
namespace tvx {

enum class PictureConverter {
  kTruncating,      // every bank but the backgrounds'
  kErrorDiffusion,  // the backgrounds
};

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
};

// The build hands every picture to its converter as it is, so it takes what the converter
// takes and nothing else; a step that prepares other forms would answer kPrepared for them.
IntakeVerdict WhatTheBuildMakesOf(const BmpProbe& probe, PictureConverter converter);

// Why a converter refuses a picture, in words, and whether saving it in the converter's form
// (the 40-byte header in particular) is the cure.
struct RefusalWords {
  Words reason;
  bool headerForm = false;  // the picture is in another BMP form than the converter's
};
RefusalWords ExplainRefusal(const BmpProbe& probe, const ConverterVerdict& verdict);

}  // namespace tvx
