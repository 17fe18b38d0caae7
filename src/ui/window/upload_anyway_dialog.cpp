#include "ui/window/upload_anyway_dialog.h"

#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringList>

#include "ui/qt/display_text.h"
#include "util/bilingual_text.h"

namespace tvx {

namespace {

constexpr BilingualText kTitle{"僅連線上傳", "Upload only"};
constexpr BilingualText kQuestion{"此映像檔未通過檢查, 顯示器可能無法使用它。仍然上傳嗎?",
                                  "The ROM image fails its checks: the indicator may not work "
                                  "with it. Upload it all the same?"};
constexpr BilingualText kUploadAnyway{"仍然上傳", "Upload anyway"};
constexpr BilingualText kCancel{"取消", "Cancel"};

}  // namespace

bool AskToUploadAnyway(const std::vector<std::string>& reasons, unsigned lang, QWidget* parent) {
  QPointer<QMessageBox> box = new QMessageBox(parent);
  box->setObjectName("UploadAnywayDialog");
  // A dialog inherits no font: the main window's draws the Chinese in its traditional forms.
  if (parent != nullptr) {
    box->setFont(parent->font());
  }
  box->setIcon(QMessageBox::Warning);
  box->setWindowTitle(DisplayText(kTitle.forLanguage(lang)));
  box->setText(DisplayText(kQuestion.forLanguage(lang)));
  QStringList lines;
  for (const std::string& reason : reasons) {
    lines << DisplayText(reason).trimmed();
  }
  box->setInformativeText(lines.join('\n'));
  QPushButton* anyway =
      box->addButton(DisplayText(kUploadAnyway.forLanguage(lang)), QMessageBox::AcceptRole);
  anyway->setObjectName("UploadAnywayButton");
  QPushButton* cancel =
      box->addButton(DisplayText(kCancel.forLanguage(lang)), QMessageBox::RejectRole);
  cancel->setObjectName("CancelButton");
  box->setDefaultButton(cancel);
  box->setEscapeButton(cancel);
  box->exec();
  const bool chosen = box && box->clickedButton() == anyway;
  delete box;
  return chosen;
}

}  // namespace tvx
