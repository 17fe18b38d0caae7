#include "project/window_state.h"

namespace tvx {

const std::array<std::string_view, 53> kCaptionControls{"SpeedButton1",
                                                        "SpeedButton2",
                                                        "SpeedButton3",
                                                        "SpeedButton5",
                                                        "TabSheet1",
                                                        "TabSheet2",
                                                        "TabSheet3",
                                                        "TabSheet4",
                                                        "TabSheet5",
                                                        "TabSheet6",
                                                        "RadioButton1",
                                                        "RadioButton2",
                                                        "RadioButton3",
                                                        "RadioButton4",
                                                        "RadioButton5",
                                                        "RadioButton6",
                                                        "RadioButton7",
                                                        "RadioButton8",
                                                        "RadioButton9",
                                                        "RadioButton10",
                                                        "RadioButton14",
                                                        "RadioButton15",
                                                        "RadioButton17",
                                                        "RadioButton18",
                                                        "RadioButton19",
                                                        "RadioButton20",
                                                        "RadioButton21",
                                                        "RadioButton22",
                                                        "RadioButton23",
                                                        "RadioButton24",
                                                        "RadioButton25",
                                                        "RadioButton26",
                                                        "RadioButton28",
                                                        "GroupBox1",
                                                        "GroupBox2",
                                                        "GroupBox3",
                                                        "GroupBox4",
                                                        "GroupBox9",
                                                        "Label1",
                                                        "Label2",
                                                        "Label3",
                                                        "Label4",
                                                        "Label5",
                                                        "Label7",
                                                        "CheckBox1",
                                                        "CheckBox2",
                                                        "CheckBox8",
                                                        "CheckBox9",
                                                        "N1",
                                                        "N2",
                                                        "N4",
                                                        "N5",
                                                        "N7"};

ProtocolPanels PanelsForProtocol(const ProtocolInfo& protocol) {
  ProtocolPanels panels;
  panels.Panel12 = {false, PanelPosition{688, 320}};
  panels.Panel10 = {protocol.name == "STEP", PanelPosition{408, 272}};
  panels.Panel9 = {!protocol.dateTimeSupported, PanelPosition{688, 8}};
  panels.Panel8.visible = true;
  if (protocol.liftMsgIdxUsed) {
    panels.Panel13.visible = true;
    panels.Panel15 = {true, PanelPosition{408, 224}};
    panels.Panel6.visible = false;
  }
  if (protocol.name == "FRONTIER") {
    panels.Panel14 = {true, PanelPosition{408, 270}};
  }
  return panels;
}

std::array<std::string_view, 2> BackgroundListHeadings(unsigned lang) {
  if (lang == 0) {
    return {"No", "BkgBMP filename"};
  }
  return {"編號", "背景圖檔檔名"};
}

std::array<std::string_view, 3> FloorTableHeadings(unsigned lang) {
  if (lang == 0) {
    return {"Code", "Display", "BkgBMP"};
  }
  return {"編碼", "樓層顯示", "使用背景圖"};
}

}  // namespace tvx
