#include "ui/designer/browse_control_plugin.h"

#include <QIcon>
#include <utility>

namespace YVclCtrl {

BrowseControlPlugin::BrowseControlPlugin(BrowseControlDescription description, QObject* parent)
    : QObject(parent), m_description(std::move(description)) {}

QString BrowseControlPlugin::group() const {
  return QStringLiteral("YVclCtrl browsing controls");
}

QIcon BrowseControlPlugin::icon() const {
  const QString bareName = m_description.className.section(QStringLiteral("::"), -1);
  return QIcon(QStringLiteral(":/tvx880/designer/%1.png").arg(bareName));
}

QString BrowseControlPlugin::domXml() const {
  return QStringLiteral("<ui language=\"c++\"><widget class=\"%1\" name=\"%2\"/></ui>")
      .arg(m_description.className, m_description.objectName);
}

}  // namespace YVclCtrl
