#pragma once

#include <QComboBox>
#include <string>

#include "serial/port_map.h"

namespace tvx {

// The port list of the build page (ComboBox2): "COM 1" .. "COM 20", each with the device it
// stands for when the port map knows one (the ports `tvx880 ports` lists) or "(no device)"
// (choosing it uploads nothing), then the numbered
// ports beyond 20 and device paths given on the command line. The list is read again each time
// it opens, so an adapter plugged in meanwhile shows up.
class PortComboBox : public QComboBox {
  Q_OBJECT

 public:
  static constexpr unsigned kListedPorts = 20;

  explicit PortComboBox(QWidget* parent = nullptr);

  void refreshPorts();
  // Adds a device path (if new) and selects it.
  void selectPath(const std::string& path);
  // Selects "COM number" (if listed).
  void selectNumber(unsigned number);
  // The port of the selected item: its number, or its device path.
  platform::PortName selectedPort() const;
  // The device the port map gives the selected number, if any.
  std::optional<std::string> selectedDevice() const;

  void showPopup() override;

 private:
  QStringList m_extraPaths;
};

}  // namespace tvx
