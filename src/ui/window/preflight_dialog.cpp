#include "ui/window/preflight_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>

#include "check/check_texts.h"
#include "check/report_format.h"
#include "ui/qt/display_text.h"
#include "util/printf_format.h"

namespace tvx {

namespace {

constexpr BilingualText kTitle{"建置前檢查", "Pre-flight check"};
constexpr BilingualText kHeading{"檢查發現問題, 會使指示器上的位置留空或顯示錯誤",
                                 "The check found problems that would leave slots empty or "
                                 "wrong on the indicator"};
constexpr BilingualText kCounts{"錯誤 %d 個, 警告 %d 個。尚未儲存或建置任何檔案。",
                                "Errors: %d, warnings: %d. Nothing has been saved or built yet."};
constexpr std::array<BilingualText, 5> kColumns{{{"等級", "Severity"},
                                                 {"用途", "Role"},
                                                 {"檔案", "File"},
                                                 {"問題", "Problem"},
                                                 {"處理", "Fix"}}};
// The fix takes what is left of the dialog's width.
constexpr std::array<int, 4> kColumnWidths{90, 170, 220, 250};
constexpr BilingualText kCancel{"取消", "Cancel"};
constexpr BilingualText kBuildAnyway{"仍然建置", "Build anyway"};

constexpr int kSeverityColumn = 0;

QString fromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QStyle::StandardPixmap severityIcon(Severity severity) {
  switch (severity) {
    case Severity::kError:
      return QStyle::SP_MessageBoxCritical;
    case Severity::kWarning:
      return QStyle::SP_MessageBoxWarning;
    case Severity::kNote:
      break;
  }
  return QStyle::SP_MessageBoxInformation;
}

}  // namespace

PreflightDialog::PreflightDialog(const CheckReport& report, unsigned lang, QWidget* parent)
    : QDialog(parent) {
  setObjectName("PreflightDialog");
  // A dialog is a window of its own and inherits no font: the main window's draws the Chinese
  // in its traditional forms.
  if (parent != nullptr) {
    setFont(parent->font());
  }
  setWindowTitle(fromView(kTitle.forLanguage(lang)));

  auto* heading = new QLabel(fromView(kHeading.forLanguage(lang)), this);
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);
  heading->setWordWrap(true);
  auto* counts = new QLabel(
      QString::fromStdString(YVclUtil::FormatPrintf(std::string(kCounts.forLanguage(lang)).c_str(),
                                                    report.errors(), report.warnings())),
      this);

  m_findings = new QTableWidget(0, static_cast<int>(kColumns.size()), this);
  m_findings->setObjectName("FindingList");
  m_findings->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_findings->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_findings->setSelectionMode(QAbstractItemView::SingleSelection);
  m_findings->setWordWrap(true);
  // A path has no spaces to wrap at: its middle goes, its name stays.
  m_findings->setTextElideMode(Qt::ElideMiddle);
  m_findings->verticalHeader()->hide();
  QStringList headings;
  for (const BilingualText& column : kColumns) {
    headings << fromView(column.forLanguage(lang));
  }
  m_findings->setHorizontalHeaderLabels(headings);
  for (std::size_t column = 0; column < kColumnWidths.size(); ++column) {
    m_findings->setColumnWidth(static_cast<int>(column), kColumnWidths[column]);
  }
  m_findings->horizontalHeader()->setStretchLastSection(true);
  // The rows grow to the wrapped texts, whatever the columns' widths.
  m_findings->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  fillFindings(report, lang);

  auto* buttons = new QDialogButtonBox(this);
  m_buildAnyway =
      buttons->addButton(fromView(kBuildAnyway.forLanguage(lang)), QDialogButtonBox::AcceptRole);
  m_buildAnyway->setObjectName("BuildAnywayButton");
  m_buildAnyway->setAutoDefault(false);
  m_cancel = buttons->addButton(fromView(kCancel.forLanguage(lang)), QDialogButtonBox::RejectRole);
  m_cancel->setObjectName("CancelButton");
  m_cancel->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading);
  layout->addWidget(counts);
  layout->addWidget(m_findings, 1);
  layout->addWidget(buttons);
  resize(1000, 460);
  m_cancel->setFocus();
}

void PreflightDialog::fillFindings(const CheckReport& report, unsigned lang) {
  m_findings->setRowCount(static_cast<int>(report.findings.size()));
  int row = 0;
  for (const Finding& finding : report.findings) {
    const std::array<QString, 5> texts{
        fromView(SeverityWords(finding.severity).forLanguage(lang)),
        DisplayText(finding.role.forLanguage(lang)), DisplayPath(finding.file),
        DisplayText(finding.problem.forLanguage(lang)), DisplayText(finding.fix.forLanguage(lang))};
    for (int column = 0; column < static_cast<int>(texts.size()); ++column) {
      auto* cell = new QTableWidgetItem(texts[column]);
      // The whole text, should its column be too narrow.
      cell->setToolTip(texts[column]);
      m_findings->setItem(row, column, cell);
    }
    m_findings->item(row, kSeverityColumn)
        ->setIcon(style()->standardIcon(severityIcon(finding.severity)));
    ++row;
  }
}

bool AskToBuildDespite(const CheckReport& report, unsigned lang, QWidget* parent) {
  QPointer<PreflightDialog> dialog = new PreflightDialog(report, lang, parent);
  const bool anyway = dialog->exec() == QDialog::Accepted && dialog;
  delete dialog;
  return anyway;
}

}  // namespace tvx
