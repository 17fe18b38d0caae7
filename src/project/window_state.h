#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "project/protocols.h"
#include "util/bilingual_text.h"

// What start-up, the settings and the project operations decide about the main window: which
// panels are shown and where, the captions taken from the settings, the current page and the
// previews that are hidden. The window reads it and applies it to its controls.
namespace tvx {

// The window's design caption; TitleBase begins with it.
inline constexpr std::string_view kDesignCaption = "TVX880 STD [R1-Build-121023]";
inline constexpr std::string_view kNoProjectName = " -- No project name";

struct PanelPosition {
  int left = 0;
  int top = 0;
  bool operator==(const PanelPosition&) const = default;
};

struct PanelState {
  bool visible = true;
  std::optional<PanelPosition> position;  // none: where the window's design puts it
  bool operator==(const PanelState&) const = default;
};

// The panels of the build and style pages that depend on the controller protocol, in their
// design state until a protocol matches.
struct ProtocolPanels {
  PanelState Panel6{true, {}};    // node address
  PanelState Panel8{false, {}};   // backlight
  PanelState Panel9{true, {}};    // cover over the date and time groups
  PanelState Panel10{true, {}};   // protocol picture
  PanelState Panel12{false, {}};  // arrival blink
  PanelState Panel13{false, {}};  // message input lists
  PanelState Panel14{false, {}};  // backlight control mode
  PanelState Panel15{false, {}};  // trigger mode
  bool operator==(const ProtocolPanels&) const = default;
};

// Panels as a matched protocol arranges them.
ProtocolPanels PanelsForProtocol(const ProtocolInfo& protocol);

// One caption from the settings' language section. No text: the settings have none for this
// control, which keeps (or gets back) its design caption.
struct CaptionEntry {
  std::string control;  // "SpeedButton1", "N7", ...
  std::optional<std::string> text;
};

// The controls whose captions the settings may replace, in the order they are read.
extern const std::array<std::string_view, 53> kCaptionControls;

struct WindowState {
  int CurrentPage = 1;                       // 1..4
  bool BackgroundPreviewShown = false;       // Image11 on page 2
  bool FloorBackgroundPreviewShown = false;  // Panel3 on page 3
  ProtocolPanels panels;
  std::vector<CaptionEntry> captions;  // empty: all design captions
};

// Headings of the background lists (slot, picture) and of the floor code table (code, display
// text, background number) in the language of LANG.
std::array<std::string_view, 2> BackgroundListHeadings(unsigned lang);
std::array<std::string_view, 3> FloorTableHeadings(unsigned lang);

// A text of the program's messages in the language of LANG: English for 0, else Chinese.
inline std::string_view TextForLanguage(unsigned lang, std::string_view chinese,
                                        std::string_view english) {
  return BilingualText{chinese, english}.forLanguage(lang);
}

}  // namespace tvx
