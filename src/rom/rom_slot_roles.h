#pragma once

#include <string>

// What the indicator uses each bank and slot of its ROM image for, as the build fills them:
// weekday and month pictures, clock characters, the protocol resource, arrows and lift-state
// messages in bank 0, floor characters in bank 1, code-table pictures in bank 6, backgrounds
// in bank 7.
namespace tvx {

enum class SlotContent {
  kUnused,    // the build writes nothing here
  kPicture,   // a picture the indicator shows
  kLibrary,   // a fixed resource copied unchanged from the picture library
  kProtocol,  // the controller protocol's resource, which need not be a picture
};

struct SlotDescription {
  std::string name;  // "fire message, first Chinese picture", "floor character '8'"
  SlotContent content = SlotContent::kUnused;
  // Every build fills the slot; empty, the indicator lacks something it always shows.
  bool alwaysFilled = false;
};

SlotDescription DescribeRomSlot(int bank, int slot);

// A slot of the picture library itself: "library resource 117".
SlotDescription DescribeLibrarySlot(int slot);

}  // namespace tvx
