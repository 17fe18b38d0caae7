#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "app/upload_session.h"
#include "ui/window/rom_sheet_window.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace tvx {

class PictureBox;
class PortComboBox;
class ScreenPreview;
class Studio;

// Page 4 "製作" (TabSheet4): the screen preview, the standby logo, node address, backlight,
// protocol, lamp, backlight-mode and trigger-mode panels, and the build and upload tools:
// SpeedButton3, the port list, the upload-only and clock boxes, ProgressBar1 and the log Memo1.
// The tools show the window's upload session and send it what the user asks for.
class BuildPage : public QWidget, private UploadView {
  Q_OBJECT

 public:
  // The session must outlive the page.
  BuildPage(Studio& studio, UploadSession& session, QWidget* parent = nullptr);
  ~BuildPage() override;

  void refresh();
  // What "Build and upload" runs when no transfer is busy and the clock box is off.
  void setBuildAndUpload(std::function<void()> build) { m_buildAndUpload = std::move(build); }

  // SpeedButton3: aborts a busy transfer, else sets the clock or builds and uploads.
  void SpeedButton3Click();

  // While a build runs: the tools are locked, the log keeps showing.
  void setBuilding(bool building);
  // The log memo during a build: lines copied from the build's thread.
  void appendLogLines(const QStringList& lines, bool clearedFirst);
  // The memo follows the studio's log again and shows all of it.
  void listenToLog();
  // The image the last build wrote (nothing: it wrote none), which "What the indicator holds"
  // shows.
  void setBuiltImage(std::optional<std::string> romImagePath);
  // Opens the sheet of the built image in a window of its own, in place of one still open
  // (nothing when no image was built).
  void showBuiltImage();
  RomSheetWindow* sheetWindow() const { return m_sheetWindow; }

  // "開啟" / "關閉" of the date and time display: CheckBox9 is offered only while it is on.
  void dateTimeDisplayChanged(bool on);
  bool uploadOnlyChecked() const;
  ScreenPreview* preview() const { return m_preview; }
  PortComboBox* portList() const { return m_portList; }

 private:
  void buildLogoPanel();
  void buildNodeAndBacklightPanels();
  void buildProtocolPanels();
  void buildLampPanel();
  void buildUploadTools();

  void Image14Click();
  void showSheetCaption();
  // A chosen or dropped logo, as TakePicture lets it in.
  void takeLogo(const std::string& path);
  // The logo picture, wherever the project's path to it is found.
  void showLogo();
  // The settings and the boxes as they are now, for the next request.
  void configureSession();
  void showLog();
  void showBusyCaption();
  // While the clock box is ticked the button says that it sets the clock.
  void showClockCaption();
  // Upload only, an image that fails its checks: the person decides.
  bool askUploadAnyway(const std::vector<std::string>& reasons);

  // What the session shows here.
  void setButtonCaption(const std::string& caption) override;
  void setProgressMaximum(int maximum) override;
  void setProgressPosition(int position) override;
  void stateChanged() override;
  void noDeviceBehind(unsigned number) override;

  Studio& m_studio;
  UploadSession& m_session;
  ScreenPreview* m_preview = nullptr;
  QCheckBox* m_useLogo = nullptr;                 // CheckBox8
  PictureBox* m_logo = nullptr;                   // Image14
  QComboBox* m_logoTime = nullptr;                // ComboBox3
  QComboBox* m_nodeAddress = nullptr;             // ComboBox4
  QComboBox* m_backlight = nullptr;               // ComboBox5
  QComboBox* m_backlightMode = nullptr;           // LCDBLCTRLM_CB
  std::array<QRadioButton*, 4> m_triggerModes{};  // RB_GRAY .. RB_BINARY
  QRadioButton* m_car = nullptr;                  // RadioButton14
  QRadioButton* m_landing = nullptr;              // RadioButton15
  std::array<QComboBox*, 3> m_lamps{};            // ComboBox6 .. ComboBox8
  QLabel* m_lamp3Label = nullptr;                 // Label11
  QPushButton* m_action = nullptr;                // SpeedButton3
  PortComboBox* m_portList = nullptr;             // ComboBox2
  QCheckBox* m_uploadOnly = nullptr;              // CheckBox1
  QCheckBox* m_clockSync = nullptr;               // CheckBox9
  QCheckBox* m_receiveDump = nullptr;             // CheckBox7
  QProgressBar* m_progress = nullptr;             // ProgressBar1
  QPlainTextEdit* m_log = nullptr;                // Memo1
  QPushButton* m_sheetButton = nullptr;           // "What the indicator holds"
  std::optional<std::string> m_builtImage;
  QPointer<RomSheetWindow> m_sheetWindow;  // deletes itself when closed
  std::size_t m_shownLogLines = 0;
  QString m_idleCaption;
  QString m_buildCaption;  // the button's caption when the clock box is not ticked
  std::function<void()> m_buildAndUpload;
};

}  // namespace tvx
