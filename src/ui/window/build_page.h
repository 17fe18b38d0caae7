#pragma once

#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "serial/pc_uart.h"
#include "upload/upload_engine.h"

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
// The page owns the serial port PcUart1 and the upload engine with its Timer1.
class BuildPage : public QWidget {
  Q_OBJECT

 public:
  BuildPage(Studio& studio, QWidget* parent = nullptr);
  ~BuildPage() override;

  void refresh();
  // At start-up: the upload header's fixed bytes exist only with the picture library.
  void prepareUpload(bool libraryLoaded);
  // What "Build and upload" runs when no transfer is busy and the clock box is off.
  void setBuildAndUpload(std::function<void()> build) { m_buildAndUpload = std::move(build); }

  // SpeedButton3: aborts a busy transfer, else sets the clock or builds and uploads.
  void SpeedButton3Click();
  // The upload-only branch of the build: pick a ".BIN", check it and upload it.
  void runUploadOnly();
  // Hands a ROM image just built to the upload; false when it was refused.
  bool startUpload(const std::string& romImagePath);
  // Ends a transfer or the wait for the port (the window is closing).
  void abortUpload();

  // While a build runs: the tools are locked, the log keeps showing.
  void setBuilding(bool building);
  // The log memo during a build: lines copied from the build's thread.
  void appendLogLines(const QStringList& lines, bool clearedFirst);
  // The memo follows the studio's log again and shows all of it.
  void listenToLog();

  // "開啟" / "關閉" of the date and time display: CheckBox9 is offered only while it is on.
  void dateTimeDisplayChanged(bool on);
  bool uploadOnlyChecked() const;
  ScreenPreview* preview() const { return m_preview; }
  PortComboBox* portList() const { return m_portList; }
  UploadEngine& uploadEngine() { return *m_engine; }
  KwxCtrl::TPcUart& pcUart() { return m_uart; }

 signals:
  void uploadStateChanged();

 private:
  class UploadView;

  void buildLogoPanel();
  void buildNodeAndBacklightPanels();
  void buildProtocolPanels();
  void buildLampPanel();
  void buildUploadTools();

  void Image14Click();
  void configureEngine();
  void showLog();
  void uploadStateChangedInEngine();
  void showBusyCaption();

  Studio& m_studio;
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
  std::size_t m_shownLogLines = 0;
  QString m_idleCaption;

  KwxCtrl::TPcUart m_uart;  // PcUart1
  std::unique_ptr<UploadView> m_uploadView;
  std::unique_ptr<UploadEngine> m_engine;
  std::function<void()> m_buildAndUpload;
};

}  // namespace tvx
