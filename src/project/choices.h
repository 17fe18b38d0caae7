#pragma once

#include <array>
#include <string_view>

// The fixed lists from which the window's drop-down lists and radio groups choose. The project
// stores the zero-based position in these lists, never the text.
namespace tvx {

// Controller input that raises a lift-state message (LiftMsgIdx); 0 = none.
inline constexpr std::array<std::string_view, 8> kLiftMsgInputChoices{"",   "X6", "X7", "X8",
                                                                      "X9", "XA", "XB", "XC"};

// Lamp outputs HLAMP1..HLAMP3; 0 = no state.
inline constexpr std::array<std::string_view, 11> kLampChoices{
    "未使用", "火警", "地震", "停用", "停電", "超載", "保養", "滿載", "專用", "泊梯", "管制"};

// BACKLIGHTSAVE.
inline constexpr std::array<std::string_view, 17> kBacklightChoices{
    "0",   "5",   "10",  "20",  "30",  "40",  "50",  "60", "120",
    "180", "240", "300", "360", "420", "480", "540", "600"};

// LCDBLCTRLMODE and the fixed text that explains it.
inline constexpr int kBacklightControlModeCount = 3;
inline constexpr std::array<std::string_view, 6> kBacklightControlModeHelp{
    "Mode 0 : LCD backlight full brightness at  ",
    "              total bit 8,9,14,15,16,17 active",
    "",
    "Mode 1 : total bit 12 control",
    "",
    "Mode 2: full brightness permanently"};

// PS_MODE.
inline constexpr std::array<std::string_view, 4> kTriggerModeChoices{
    "GRAY code", "7-Seg LED (55)", "7-Seg LED (37)", "BINARY code"};

// DATE_STYLE; the third style has no caption (the window shows a sample picture).
inline constexpr std::array<std::string_view, 3> kDateStyleChoices{"YYYY / MM / DD", "DD MMM YYYY",
                                                                   ""};

// SLIDESHOWTIMEGAP is an index into "1" .. "300", STANDBYTIME into "1" .. "30", NODEADDR into
// "0" .. "255".
inline constexpr int kSlideshowIntervalCount = 300;
inline constexpr int kStandbyTimeCount = 30;
inline constexpr int kNodeAddressCount = 256;

// AUTOSLIDESHOW.
inline constexpr int kSlideshowPerFloor = 0;
inline constexpr int kSlideshowInTurn = 1;
inline constexpr int kSlideshowFixedPicture0 = 2;

}  // namespace tvx
