#include "ui/window/port_combo_box.h"

#include <map>

#include "ui/qt/display_text.h"

namespace tvx {

namespace {

constexpr int kNumberRole = Qt::UserRole;
constexpr int kPathRole = Qt::UserRole + 1;

QString describe(const platform::PortMapEntry& entry) {
  QString text = DisplayPath(entry.path);
  if (entry.info && entry.info->usb && !entry.info->product.empty()) {
    text += " " + QString::fromStdString(entry.info->product);
  } else if (entry.explicitEntry) {
    text += " (mapped)";
  }
  return text;
}

}  // namespace

PortComboBox::PortComboBox(QWidget* parent) : QComboBox(parent) {
  // A device path may be longer than the list is wide: the whole of it shows as a tip.
  connect(this, &QComboBox::currentTextChanged, this, &QWidget::setToolTip);
  refreshPorts();
  setCurrentIndex(0);
}

void PortComboBox::refreshPorts() {
  const QVariant keepNumber = currentData(kNumberRole);
  const QVariant keepPath = currentData(kPathRole);
  std::map<unsigned, platform::PortMapEntry> known;
  for (platform::PortMapEntry& entry : platform::CurrentPortMap().entries()) {
    known.emplace(entry.number, std::move(entry));
  }
  const QSignalBlocker quiet(this);
  clear();
  auto addNumber = [this, &known](unsigned number) {
    QString label = QStringLiteral("COM %1").arg(number);
    const auto found = known.find(number);
    label += "  " + (found != known.end() ? describe(found->second) : QString("(no device)"));
    addItem(label);
    setItemData(count() - 1, number, kNumberRole);
  };
  for (unsigned number = 1; number <= kListedPorts; ++number) {
    addNumber(number);
  }
  for (const auto& [number, entry] : known) {
    if (number > kListedPorts) {
      addNumber(number);
    }
  }
  for (const QString& path : m_extraPaths) {
    addItem(path);
    setItemData(count() - 1, path, kPathRole);
  }
  int index = 0;
  if (keepPath.isValid()) {
    index = std::max(0, findData(keepPath, kPathRole));
  } else if (keepNumber.isValid()) {
    index = std::max(0, findData(keepNumber, kNumberRole));
  }
  setCurrentIndex(index);
  setToolTip(currentText());
}

void PortComboBox::selectPath(const std::string& path) {
  const QString shown = DisplayPath(path);
  if (!m_extraPaths.contains(shown)) {
    m_extraPaths << shown;
    refreshPorts();
  }
  setCurrentIndex(findData(shown, kPathRole));
}

void PortComboBox::selectNumber(unsigned number) {
  const int index = findData(number, kNumberRole);
  if (index >= 0) {
    setCurrentIndex(index);
  }
}

platform::PortName PortComboBox::selectedPort() const {
  const QVariant path = currentData(kPathRole);
  if (path.isValid()) {
    return {std::nullopt, StoragePath(path.toString())};
  }
  return {currentData(kNumberRole).toUInt(), std::string()};
}

std::optional<std::string> PortComboBox::selectedDevice() const {
  const platform::PortName port = selectedPort();
  if (!port.number) {
    return port.path;
  }
  return platform::CurrentPortMap().resolve(*port.number);
}

void PortComboBox::showPopup() {
  refreshPorts();
  QComboBox::showPopup();
}

}  // namespace tvx
