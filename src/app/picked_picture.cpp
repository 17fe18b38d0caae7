#include "app/picked_picture.h"

#include "check/check_texts.h"
#include "check/picture_intake.h"
#include "image/bmp_probe.h"
#include "image/picture_decoder.h"
#include "image/picture_import.h"
#include "image/picture_preparation.h"

namespace tvx {

namespace {

PictureConverter converterOf(PictureSlot slot) {
  return slot == PictureSlot::kBackgroundVertical || slot == PictureSlot::kBackgroundHorizontal
             ? PictureConverter::kErrorDiffusion
             : PictureConverter::kTruncating;
}

bool withinScreen(PictureSize size, ScreenOrientation orientation) {
  const PictureSize screen = SlotSize(PictureSlot::kLogo, orientation, size);
  return size.width <= screen.width && size.height <= screen.height;
}

// A logo that fits on the screen keeps its size, as a floor picture does.
PictureSlot fittedAs(PictureSlot slot, PictureSize size, ScreenOrientation orientation) {
  return slot == PictureSlot::kLogo && withinScreen(size, orientation) ? PictureSlot::kFloor : slot;
}

Words sizeProblemOf(const PickedPicture& picked) {
  const long long width = picked.size.width;
  const long long height = picked.size.height;
  if (picked.slot == PictureSlot::kLogo) {
    if (withinScreen(picked.size, picked.orientation)) {
      return {};
    }
    const PictureSize screen = SlotSize(PictureSlot::kLogo, picked.orientation, picked.size);
    return FormatWords(check_text::kTooLarge, width, height, screen.width, screen.height);
  }
  // An odd floor width is the converter's to say.
  if (picked.slot == PictureSlot::kFloor || picked.size == picked.wanted) {
    return {};
  }
  return FormatWords(check_text::kWrongSize, width, height, picked.wanted.width,
                     picked.wanted.height);
}

}  // namespace

bool PickedPicture::modesDiffer() const {
  return fittedAs(slot, size, orientation) != PictureSlot::kFloor && size != wanted;
}

ScreenOrientation OrientationOf(const Project& project) {
  return project.DISPTYPE_HV == 1 ? ScreenOrientation::kVertical : ScreenOrientation::kHorizontal;
}

Result<PickedPicture> LookAtPickedPicture(const std::string& path, PictureSlot slot,
                                          ScreenOrientation orientation) {
  Result<TArgbImage> decoded = DecodePictureFile(path);
  if (!decoded) {
    return std::move(decoded).error();
  }
  const Result<BmpProbe> probe = ProbeBmpFile(path);
  if (!probe) {
    return probe.error();
  }
  PickedPicture picked;
  picked.path = path;
  picked.slot = slot;
  picked.orientation = orientation;
  picked.picture = std::move(*decoded);
  picked.size = {picked.picture.Width(), picked.picture.Height()};
  picked.wanted = SlotSize(fittedAs(slot, picked.size, orientation), orientation, picked.size);
  picked.sizeProblem = sizeProblemOf(picked);

  const PictureConverter converter = converterOf(slot);
  if (!ConverterTakes(*probe, converter)) {
    const IntakeVerdict verdict = WhatTheBuildMakesOf(path, *probe, converter);
    picked.refusedByTheBuild = verdict.intake == Intake::kRefused;
    if (picked.refusedByTheBuild) {
      const bool stops = converter == PictureConverter::kErrorDiffusion;
      picked.converterProblem =
          JoinWords(ExplainRefusal(*probe, verdict).reason, check_text::kSemicolon,
                    WordsOf(stops ? check_text::kBuildStops : check_text::kSlotStaysEmpty));
    } else {
      picked.converterProblem = JoinWords(PreparedFrom(*probe, verdict), check_text::kSemicolon,
                                          WordsOf(check_text::kPrepared));
    }
  }
  return picked;
}

Result<TArgbImage> FitPickedPicture(const PickedPicture& picked, FitMode mode) {
  ImportRequest request;
  request.slot = fittedAs(picked.slot, picked.size, picked.orientation);
  request.orientation = picked.orientation;
  request.mode = mode;
  return ImportPicture(picked.path, request);
}

}  // namespace tvx
