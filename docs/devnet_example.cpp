// A lamp follows a push button: output 0 of the module at 80/01 is on while input 0 of the
// module at 80/02 is pressed. Input 3 of that module ends the program.
//
//   devnet_example /dev/ttyUSB0 plant.ini
#include <cstdio>

#include "devnet/hcnet_via_tvx232.h"
#include "devnet/tvx4i4o.h"
#include "util/local_event_loop.h"
#include "util/platform_exception.h"

using namespace KwxCtrl;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s PORT TOPOLOGY-FILE\n", argv[0]);
    return 2;
  }

  // This program's UI thread: every event of the library runs here, inside loop.run().
  tvx::LocalEventLoop loop;
  tvx::ScopedUiEventLoop uiLoop(loop);

  THCNetViaTvx232 bridge(nullptr);
  bridge.pw_Name("Bridge");
  bridge.pw_UartDevicePath(argv[1]);  // or pw_UartPortNumber(3) for "COM 3"
  bridge.pw_FileName(argv[2]);

  // Modules made with the bridge as their topology join it at once.
  TTvx4i4o lamp(nullptr, 0x80, 0x01, &bridge);
  TTvx4i4o button(nullptr, 0x80, 0x02, &bridge);

  int status = 0;
  button.OnInputChanged = [&](TComponent*, std::uint8_t, std::uint8_t) {
    if (button.pr_BitOfX(3)) {
      loop.quit();
      return;
    }
    if (button.pr_BitOfX(0) != button.pr_Old_BitOfX(0)) {
      lamp.pw_BitOfY(0, button.pr_BitOfX(0));
    }
  };
  bridge.OnConnectOK = [&](TComponent*) {
    std::printf("connected; the bridge takes packets of up to %u bytes\n", bridge.pr_R7());
    std::fflush(stdout);
    lamp.pw_Yout(0x00);  // start with every output of the lamp module off
  };
  bridge.OnConnectFail = [&](TComponent*) {
    std::fprintf(stderr, "the bridge did not answer\n");
    status = 1;
    loop.quit();
  };
  bridge.OnUartTxdFail = [&](TComponent*) {
    std::fprintf(stderr, "sending failed: %s\n", bridge.pr_LastUartErrMsg().c_str());
  };
  bridge.OnResetRnsm_WDT = [&](TComponent*) {
    std::fprintf(stderr, "the bridge restarted by itself; its outputs were restored\n");
  };

  try {
    bridge.Connect();  // checks the topology file and opens the port; the answer comes later
  } catch (const tvx::platform::Exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  loop.run();
  bridge.Disconnect();
  return status;
}
