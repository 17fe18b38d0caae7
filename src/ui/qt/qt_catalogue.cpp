#include "ui/qt/qt_catalogue.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace tvx {

QtCatalogue::~QtCatalogue() {
  useLanguage(0);
}

bool QtCatalogue::useLanguage(unsigned language) {
  const bool chinese = language != 0;
  if (chinese == m_installed) {
    return true;
  }
  if (!chinese) {
    QCoreApplication::removeTranslator(&m_chinese);
    m_installed = false;
    return true;
  }
  if (m_chinese.isEmpty() &&
      !m_chinese.load("qtbase_zh_TW", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    return false;
  }
  m_installed = QCoreApplication::installTranslator(&m_chinese);
  return m_installed;
}

}  // namespace tvx
