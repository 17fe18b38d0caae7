#pragma once

#include "serial/custom_uart.h"

namespace KwxCtrl {

// The serial port as a form places it (the main window's PcUart1): every property and event of
// TCustomUart, published for the form to store, and no behaviour of its own.
class TPcUart : public YVclCtrl::TCustomUart {
 public:
  explicit TPcUart(tvx::platform::TComponent* owner = nullptr) : TCustomUart(owner) {
    RunConstructor();
  }
  ~TPcUart() override { RunDestructor(); }

 private:
  void RunConstructor() {}
  void RunDestructor() {}
};

}  // namespace KwxCtrl
