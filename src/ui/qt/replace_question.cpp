#include "ui/qt/replace_question.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include "util/bilingual_text.h"

namespace tvx {

namespace {

constexpr BilingualText kTitle{"取代檔案", "Replace file"};
constexpr BilingualText kQuestion{"\"%1\" 已存在。\n要取代它嗎?",
                                  "\"%1\" already exists.\nDo you want to replace it?"};
constexpr BilingualText kReplace{"取代", "Replace"};
constexpr BilingualText kKeep{"不要取代", "Keep it"};

QString words(const BilingualText& text, unsigned lang) {
  const std::string_view chosen = text.forLanguage(lang);
  return QString::fromUtf8(chosen.data(), static_cast<qsizetype>(chosen.size()));
}

}  // namespace

bool AskToReplace(QWidget* parent, const QString& path, unsigned lang) {
  QMessageBox box(QMessageBox::Warning, words(kTitle, lang),
                  words(kQuestion, lang).arg(QFileInfo(path).fileName()), QMessageBox::NoButton,
                  parent);
  QPushButton* replace = box.addButton(words(kReplace, lang), QMessageBox::AcceptRole);
  QPushButton* keep = box.addButton(words(kKeep, lang), QMessageBox::RejectRole);
  box.setDefaultButton(keep);
  box.setEscapeButton(keep);
  box.exec();
  return box.clickedButton() == replace;
}

}  // namespace tvx
