#pragma once

#include <QTranslator>

namespace tvx {

// Qt's own texts (the buttons of message boxes, the file and colour dialogs) in the language of
// the settings: Qt's Traditional Chinese catalogue "qtbase_zh_TW" for Chinese, none for English.
class QtCatalogue {
 public:
  QtCatalogue() = default;
  ~QtCatalogue();
  QtCatalogue(const QtCatalogue&) = delete;
  QtCatalogue& operator=(const QtCatalogue&) = delete;

  // language: 0 English, anything else Chinese. Answers whether Qt's texts follow it (false when
  // the catalogue is not installed, qt6-translations-l10n on Debian).
  bool useLanguage(unsigned language);

 private:
  QTranslator m_chinese;
  bool m_installed = false;
};

}  // namespace tvx
