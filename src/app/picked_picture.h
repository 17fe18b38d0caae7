#pragma once

#include <string>

#include "check/words.h"
#include "image/argb_image.h"
#include "image/picture_fit.h"
#include "image/picture_slot.h"
#include "project/project.h"
#include "util/result.h"

// A picture the technician picks for a slot of the window, looked at as the build will see it:
// whether the slot can take it as it is, and the fitted copy offered when it cannot.
namespace tvx {

struct PickedPicture {
  std::string path;
  PictureSlot slot = PictureSlot::kMessage;
  ScreenOrientation orientation = ScreenOrientation::kVertical;
  TArgbImage picture;  // as decoded
  PictureSize size;    // the picture's own
  PictureSize wanted;  // what the slot takes of a picture of that size
  // Why the slot would not take it as it is, in the check's words; empty when it would.
  Words sizeProblem;       // the wrong size, or larger than the screen
  Words converterProblem;  // the converter refuses it (and what the build does then)
  // The build would leave the slot empty or stop: the picture cannot be used as it is.
  bool refusedByTheBuild = false;

  bool needsFitting() const { return !sizeProblem.empty() || !converterProblem.empty(); }
  // Whether pad, crop and stretch give different pictures: only when it is scaled.
  bool modesDiffer() const;
};

// The slot's orientation, as the project's screen has it.
ScreenOrientation OrientationOf(const Project& project);

// Decodes and probes the file; the error (DecodePictureFile's) names the file and the form
// found when it cannot be decoded.
Result<PickedPicture> LookAtPickedPicture(const std::string& path, PictureSlot slot,
                                          ScreenOrientation orientation);

// The picture brought to what its slot takes, made as `tvx880 import` makes it (the same
// decoding, at the same scale). A logo within the screen and a floor picture are never scaled:
// an odd width gains a black column on the right, whatever the mode. The error is the
// decoder's, when the file changed since it was looked at.
Result<TArgbImage> FitPickedPicture(const PickedPicture& picked, FitMode mode);

}  // namespace tvx
