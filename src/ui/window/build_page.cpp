#include "ui/window/build_page.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <optional>

#include "app/studio.h"
#include "project/choices.h"
#include "project/paths.h"
#include "project/picture_lookup.h"
#include "project/project_fields.h"
#include "ui/qt/display_text.h"
#include "ui/qt/report_exceptions.h"
#include "ui/window/choose_picture.h"
#include "ui/window/picture_box.h"
#include "ui/window/port_combo_box.h"
#include "ui/window/screen_preview.h"
#include "ui/window/take_picture.h"
#include "ui/window/upload_anyway_dialog.h"
#include "ui/window/widget_factory.h"
#include "upload/upload_texts.h"
#include "util/bilingual_text.h"
#include "util/messages.h"

namespace tvx {

namespace {

constexpr int kPanelLeft = 408;
constexpr int kPanelWidth = 232;
constexpr int kToolsLeft = 648;
constexpr int kToolsWidth = 217;
constexpr int kLogTop = 186;
constexpr int kLogHeight = 200;

constexpr BilingualText kSheetCaption{"映像檔內容", "What the indicator holds"};
constexpr BilingualText kClockCaption{"時間同步", "Set the clock"};

// The list entry a field's value names; a value outside the field's range leaves the list as
// it is.
std::optional<int> entryOf(const Project& project, int Project::*member) {
  const ProjectField& field = *FindField(member);
  const std::int64_t value = NumberOf(project, field);
  if (!field.range.contains(value)) {
    return std::nullopt;
  }
  return static_cast<int>(value - field.range.minimum);
}

void showEntry(QComboBox* list, const Project& project, int Project::*member) {
  if (const auto entry = entryOf(project, member); entry && *entry < list->count()) {
    list->setCurrentIndex(*entry);
  }
}

QStringList itemsOf(const auto& choices) {
  QStringList items;
  for (std::string_view choice : choices) {
    items << QString::fromUtf8(choice.data(), static_cast<qsizetype>(choice.size()));
  }
  return items;
}

// The picture of the protocol panel: the controller link the indicator speaks.
QImage protocolPicture() {
  QImage image(216, 120, QImage::Format_RGB32);
  image.fill(QColor(24, 40, 72));
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(120, 200, 255), 3));
  painter.drawRoundedRect(QRectF(8, 8, 200, 104), 10, 10);
  QFont font = painter.font();
  font.setPixelSize(34);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(8, 12, 200, 56), Qt::AlignCenter, "STEP");
  font.setPixelSize(14);
  font.setBold(false);
  painter.setFont(font);
  painter.setPen(QColor(180, 220, 255));
  painter.drawText(QRect(8, 66, 200, 40), Qt::AlignCenter, "Serial link · TVX880");
  return image;
}

}  // namespace

BuildPage::BuildPage(Studio& studio, UploadSession& session, QWidget* parent)
    : QWidget(parent), m_studio(studio), m_session(session) {
  setObjectName("TabSheet4");
  m_preview = new ScreenPreview(studio, this);
  m_preview->setGeometry(0, 0, 404, 420);
  buildLogoPanel();
  buildNodeAndBacklightPanels();
  buildProtocolPanels();
  buildLampPanel();
  buildUploadTools();
  m_session.setView(this);
  m_session.setUploadAnyway(
      [this](const std::vector<std::string>& reasons) { return askUploadAnyway(reasons); });
  listenToLog();
}

BuildPage::~BuildPage() {
  m_studio.log().setListener(nullptr);
  m_session.setView(nullptr);
  m_session.setUploadAnyway(nullptr);
}

void BuildPage::buildLogoPanel() {
  QFrame* panel = form::Panel(this, "Panel5", {kPanelLeft, 8, kPanelWidth, 150});
  m_useLogo = form::Check(panel, "CheckBox8", QStringLiteral("待機Logo啟用"), {8, 6, 216, 24});
  m_logo = form::Place(new PictureBox(panel), "Image14", {8, 34, 120, 78});
  m_logo->setScaling(PictureBox::Scaling::Proportional);
  m_logo->setCursor(Qt::PointingHandCursor);
  m_logo->setPlaceholder("Logo\nBMP PNG JPEG");
  form::Label(panel, "Label3", QStringLiteral("交換時間 (秒) :"), {8, 120, 128, 20});
  m_logoTime =
      form::Combo(panel, "ComboBox3", form::NumberItems(1, kStandbyTimeCount), {150, 117, 72, 26});
  m_logoTime->setCurrentIndex(2);
  m_logoTime->setEnabled(false);
  connect(m_useLogo, &QCheckBox::toggled, this, [this](bool on) {
    m_studio.project().USE_STANDBYLOGO = on ? 1 : 0;
    m_logoTime->setEnabled(on);
  });
  connect(m_logoTime, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index >= 0) {
      m_studio.project().STANDBYTIME = index;
    }
  });
  connect(m_logo, &PictureBox::clicked, this,
          [this] { YVclCtrl::RunReportingExceptions([this] { Image14Click(); }); });
  m_logo->setAcceptDrops(true);
  // The drop is answered first: the offer to fit the picture must not hold the drag up.
  connect(m_logo, &PictureBox::filesDropped, this, [this](const std::vector<std::string>& files) {
    QTimer::singleShot(0, this, [this, path = files.front()] {
      YVclCtrl::RunReportingExceptions([this, &path] {
        takeLogo(path);
        showLogo();
      });
    });
  });
}

void BuildPage::buildNodeAndBacklightPanels() {
  QFrame* backlight = form::Panel(this, "Panel8", {kPanelLeft, 164, kPanelWidth, 54});
  form::Label(backlight, "Label5", QStringLiteral("LCD背光控制 :"), {8, 4, 216, 20});
  m_backlight = form::Combo(backlight, "ComboBox5", itemsOf(kBacklightChoices), {8, 24, 90, 26});
  backlight->hide();
  connect(m_backlight, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index >= 0) {
      m_studio.project().BACKLIGHTSAVE = index;
    }
  });

  QFrame* node = form::Panel(this, "Panel6", {kPanelLeft, 224, kPanelWidth, 40});
  form::Label(node, "Label4", QStringLiteral("通訊位址 :"), {8, 10, 128, 20});
  m_nodeAddress =
      form::Combo(node, "ComboBox4", form::NumberItems(0, kNodeAddressCount), {150, 7, 72, 26});
  connect(m_nodeAddress, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index >= 0) {
      m_studio.project().NODEADDR = index;
    }
  });
}

void BuildPage::buildProtocolPanels() {
  QFrame* picture = form::Panel(this, "Panel10", {kPanelLeft, 272, kPanelWidth, 128});
  auto* image = form::Place(new PictureBox(picture), "Image20", {8, 4, 216, 120});
  image->setPicture(protocolPicture());

  QFrame* mode = form::Panel(this, "Panel14", {kPanelLeft, 270, kPanelWidth, 150});
  mode->setAutoFillBackground(true);
  form::Label(mode, "Label13", "LCD BL Control mode :", {8, 6, 150, 20});
  m_backlightMode = form::Combo(mode, "LCDBLCTRLM_CB", form::NumberItems(0, 3), {160, 3, 62, 26});
  m_backlightMode->setCurrentIndex(2);
  auto* help = form::Place(new QPlainTextEdit(mode), "Memo2", {8, 34, 216, 110});
  help->setReadOnly(true);
  help->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  QStringList lines;
  for (std::string_view line : kBacklightControlModeHelp) {
    lines << QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
  }
  help->setPlainText(lines.join('\n'));
  mode->hide();
  connect(m_backlightMode, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index >= 0) {
      m_studio.project().LCDBLCTRLMODE = index;
    }
  });

  QFrame* trigger = form::Panel(this, "Panel15", {kPanelLeft, 224, kPanelWidth, 128});
  trigger->setAutoFillBackground(true);
  auto* group = form::Group(trigger, "GroupBox11", "TriggerMode", {4, 2, kPanelWidth - 8, 122});
  const std::array<const char*, 4> names{"RB_GRAY", "RB_LED55", "RB_LED37", "RB_BINARY"};
  for (int index = 0; index < 4; ++index) {
    const std::string_view caption = kTriggerModeChoices[index];
    m_triggerModes[index] =
        form::Radio(group, names[index],
                    QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())),
                    {12, 20 + index * 24, 200, 22});
  }
  m_triggerModes[3]->setChecked(true);
  for (int index = 0; index < 4; ++index) {
    connect(m_triggerModes[index], &QRadioButton::toggled, this, [this, index](bool on) {
      if (on) {
        m_studio.project().PS_MODE = index;
      }
    });
  }
  trigger->hide();
}

void BuildPage::buildLampPanel() {
  QFrame* panel = form::Panel(this, "Panel11", {kPanelLeft, 276, kPanelWidth, 144});
  panel->setAutoFillBackground(true);
  auto* group = form::Group(panel, "GroupBox9", QStringLiteral("車廂與乘場選擇"),
                            {4, 2, kPanelWidth - 8, 52});
  m_car = form::Radio(group, "RadioButton14", QStringLiteral("車廂版本"), {10, 22, 100, 22});
  m_landing = form::Radio(group, "RadioButton15", QStringLiteral("乘場版本"), {114, 22, 100, 22});
  m_landing->setChecked(true);
  const QStringList lamps = itemsOf(kLampChoices);
  const std::array<const char*, 3> labels{"Label9", "Label10", "Label11"};
  const std::array<const char*, 3> combos{"ComboBox6", "ComboBox7", "ComboBox8"};
  for (int lamp = 0; lamp < 3; ++lamp) {
    QLabel* label = form::Label(panel, labels[lamp], QStringLiteral("HLAMP%1").arg(lamp + 1),
                                {8, 62 + lamp * 28, 70, 20});
    m_lamps[lamp] = form::Combo(panel, combos[lamp], lamps, {84, 58 + lamp * 28, 110, 26});
    connect(m_lamps[lamp], &QComboBox::currentIndexChanged, this, [this, lamp](int index) {
      if (index < 0) {
        return;
      }
      Project& project = m_studio.project();
      (lamp == 0 ? project.HLAMP1 : lamp == 1 ? project.HLAMP2 : project.HLAMP3) = index;
    });
    if (lamp == 2) {
      m_lamp3Label = label;
      label->hide();
      m_lamps[lamp]->hide();
    }
  }
  connect(m_car, &QRadioButton::toggled, this, [this](bool on) {
    if (on) {
      m_studio.project().CAR_HALL = 0;
      m_lamps[2]->show();
      m_lamp3Label->show();
    }
  });
  connect(m_landing, &QRadioButton::toggled, this, [this](bool on) {
    if (on) {
      m_studio.project().CAR_HALL = 1;
      m_lamps[2]->hide();
      m_lamp3Label->hide();
    }
  });
  panel->hide();
}

void BuildPage::buildUploadTools() {
  m_action = form::Button(this, "SpeedButton3", QStringLiteral("製作與連線上傳"),
                          {kToolsLeft, 8, kToolsWidth, 44});
  QFont bold = m_action->font();
  bold.setBold(true);
  m_action->setFont(bold);
  form::Label(this, "Label7", QStringLiteral("通訊埠 :"), {kToolsLeft, 58, kToolsWidth, 20});
  m_portList = form::Place(new PortComboBox(this), "ComboBox2", {kToolsLeft, 78, kToolsWidth, 26});
  m_uploadOnly =
      form::Check(this, "CheckBox1", QStringLiteral("僅連線上傳"), {kToolsLeft, 108, 200, 24});
  m_clockSync =
      form::Check(this, "CheckBox9", QStringLiteral("時間同步"), {kToolsLeft, 132, 200, 24});
  m_clockSync->hide();
  connect(m_clockSync, &QCheckBox::toggled, this, [this] { showClockCaption(); });
  m_receiveDump = form::Check(this, "CheckBox7", QString(), {kToolsLeft + 180, 132, 24, 24});
  m_receiveDump->hide();
  m_progress =
      form::Place(new QProgressBar(this), "ProgressBar1", {kToolsLeft, 158, kToolsWidth, 22});
  m_progress->setRange(0, 100);
  m_progress->setValue(0);
  m_progress->setFormat("");
  m_log = form::Place(new QPlainTextEdit(this), "Memo1",
                      {kToolsLeft, kLogTop, kToolsWidth, kLogHeight});
  m_log->setReadOnly(true);
  m_log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m_log->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  m_sheetButton = form::Button(this, "SheetButton", QString(),
                               {kToolsLeft, kLogTop + kLogHeight + 6, kToolsWidth, 26});
  m_sheetButton->setEnabled(false);
  connect(m_action, &QPushButton::clicked, this,
          [this] { YVclCtrl::RunReportingExceptions([this] { SpeedButton3Click(); }); });
  connect(m_sheetButton, &QPushButton::clicked, this,
          [this] { YVclCtrl::RunReportingExceptions([this] { showBuiltImage(); }); });
}

void BuildPage::refresh() {
  const Project& project = m_studio.project();
  m_useLogo->setChecked(project.USE_STANDBYLOGO != 0);
  showEntry(m_logoTime, project, &Project::STANDBYTIME);
  m_logo->clearPicture();
  if (!IsBlank(project.STANDBYLOGOBMP)) {
    showLogo();
  }
  showEntry(m_nodeAddress, project, &Project::NODEADDR);
  showEntry(m_backlight, project, &Project::BACKLIGHTSAVE);
  showEntry(m_backlightMode, project, &Project::LCDBLCTRLMODE);
  if (const auto mode = entryOf(project, &Project::PS_MODE)) {
    m_triggerModes[static_cast<std::size_t>(*mode)]->setChecked(true);
  }
  (project.CAR_HALL == 0 ? m_car : m_landing)->setChecked(true);
  showEntry(m_lamps[0], project, &Project::HLAMP1);
  showEntry(m_lamps[1], project, &Project::HLAMP2);
  showEntry(m_lamps[2], project, &Project::HLAMP3);
  m_preview->refresh();
  showLog();
  showBusyCaption();
  showClockCaption();
  showSheetCaption();
}

void BuildPage::showClockCaption() {
  if (m_session.busy()) {
    return;
  }
  const QString clock = DisplayText(kClockCaption.forLanguage(m_studio.language()));
  if (m_clockSync->isChecked()) {
    if (m_action->text() != clock) {
      m_buildCaption = m_action->text();
      m_action->setText(clock);
    }
  } else if (m_action->text() == clock && !m_buildCaption.isEmpty()) {
    m_action->setText(m_buildCaption);
  }
}

bool BuildPage::askUploadAnyway(const std::vector<std::string>& reasons) {
  // A build may be waiting with its busy cursor: the usual one over the question.
  QApplication::setOverrideCursor(Qt::ArrowCursor);
  const bool anyway = AskToUploadAnyway(reasons, m_studio.language(), window());
  QApplication::restoreOverrideCursor();
  return anyway;
}

void BuildPage::showSheetCaption() {
  const std::string_view caption = kSheetCaption.forLanguage(m_studio.language());
  m_sheetButton->setText(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
}

void BuildPage::showBusyCaption() {
  if (!m_session.busy()) {
    return;
  }
  // Captions were just applied (the settings' idle caption): keep it for the end of the
  // transfer, and show that the button aborts.
  const QString abort = DisplayText(upload_text::kButtonAbort.forLanguage(m_studio.language()));
  if (m_action->text() != abort) {
    m_idleCaption = m_action->text();
    m_action->setText(abort);
  }
}

void BuildPage::Image14Click() {
  // The dialog opens where it was left: the logo has no folder of its own.
  if (const auto path = ChoosePicture(m_studio.host(), m_studio.language(), std::string())) {
    takeLogo(*path);
  }
  showLogo();
}

void BuildPage::showLogo() {
  const Project& project = m_studio.project();
  ShowPicture(*m_logo, PictureFileOf(project, project.STANDBYLOGOBMP), m_studio.programDir());
}

void BuildPage::takeLogo(const std::string& path) {
  if (const auto taken = TakePicture(m_studio, path, PictureSlot::kLogo, this)) {
    m_studio.project().STANDBYLOGOBMP = *taken;
  }
}

void BuildPage::dateTimeDisplayChanged(bool on) {
  m_clockSync->setVisible(on);
  if (!on) {
    m_clockSync->setChecked(false);
  }
}

bool BuildPage::uploadOnlyChecked() const {
  return m_uploadOnly->isChecked();
}

void BuildPage::configureSession() {
  const AppSettings& settings = m_studio.settings();
  m_session.setLanguage(settings.LANG);
  m_session.setMemorySetting(settings.MEM);
  m_session.setClockSync(m_clockSync->isChecked());
  m_session.setReceiveDump(m_receiveDump->isChecked());
  m_session.setPort(m_portList->selectedPort());
}

void BuildPage::SpeedButton3Click() {
  if (!m_session.busy()) {
    m_idleCaption = m_action->text();
    configureSession();
  }
  m_session.SpeedButton3Click(m_buildAndUpload);
}

void BuildPage::setButtonCaption(const std::string& caption) {
  m_action->setText(DisplayText(caption));
}

// 0: no transfer to count (a new request, a clock setting, a refusal): the bar is empty.
void BuildPage::setProgressMaximum(int maximum) {
  m_progress->setRange(0, maximum > 0 ? maximum : 100);
  m_progress->setValue(0);
  m_progress->setFormat(maximum > 0 ? "%v / %m" : "");
}

// The bar counts packets sent, so that it is full when the last one has gone.
void BuildPage::setProgressPosition(int position) {
  m_progress->setValue(position + 1);
}

void BuildPage::stateChanged() {
  const UploadState state = m_session.state();
  if (state == UploadState::WaitingForPort) {
    // The wait for the port is cancelled with the same button.
    showBusyCaption();
  } else if (state == UploadState::Idle && !m_idleCaption.isEmpty()) {
    m_action->setText(m_idleCaption);
  }
  m_portList->setEnabled(state == UploadState::Idle);
}

void BuildPage::noDeviceBehind(unsigned /*number*/) {
  // The serial component's own box for a number it does not take; the log names the number.
  YVclUtil::ShowErrMsgBox_Printf(&m_session.pcUart(), "Invalid value !!!");
}

void BuildPage::setBuilding(bool building) {
  for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (child != m_log && child != m_progress) {
      child->setEnabled(!building);
    }
  }
  m_portList->setEnabled(!building && !m_session.busy());
  m_sheetButton->setEnabled(!building && m_builtImage.has_value());
}

void BuildPage::setBuiltImage(std::optional<std::string> romImagePath) {
  m_builtImage = std::move(romImagePath);
  m_sheetButton->setEnabled(m_builtImage.has_value());
}

void BuildPage::showBuiltImage() {
  if (!m_builtImage) {
    return;
  }
  if (m_sheetWindow) {
    m_sheetWindow->close();
  }
  m_sheetWindow = new RomSheetWindow(*m_builtImage, m_studio.language(), window());
  m_sheetWindow->show();
}

void BuildPage::appendLogLines(const QStringList& lines, bool clearedFirst) {
  if (clearedFirst) {
    m_log->clear();
    m_shownLogLines = 0;
  }
  for (const QString& line : lines) {
    m_log->appendPlainText(line);
  }
  m_shownLogLines += static_cast<std::size_t>(lines.size());
}

void BuildPage::listenToLog() {
  m_studio.log().setListener([this] { showLog(); });
  m_log->clear();
  m_shownLogLines = 0;
  showLog();
}

void BuildPage::showLog() {
  const std::vector<std::string>& lines = m_studio.log().lines();
  if (lines.size() < m_shownLogLines) {
    m_log->clear();
    m_shownLogLines = 0;
  }
  for (std::size_t i = m_shownLogLines; i < lines.size(); ++i) {
    m_log->appendPlainText(DisplayText(lines[i]));
  }
  m_shownLogLines = lines.size();
  if (lines.empty()) {
    m_log->clear();
  }
}

}  // namespace tvx
