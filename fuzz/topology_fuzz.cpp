// Topology files: any bytes must end in a finished check or a library exception, never in a
// crash, a leak or a module left behind after the bridge is gone.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "devnet/hcnet_rnsm.h"
#include "devnet/tvx4i4o.h"
#include "util/diagnostic_sink.h"
#include "util/platform_exception.h"

using namespace KwxCtrl;

namespace {

class FuzzBridge : public THCNet_Rnsm {
 public:
  using THCNet_Rnsm::THCNet_Rnsm;
  void Connect() override {}
  void Disconnect() override {}
  void SendHcnPacket(const _SHCNTXDPACKET&) override {}
};

class SilentSink : public YVclUtil::DiagnosticSink {
 public:
  void showErrorBox(const std::string&, const std::string&) override {}
  void debugString(const std::string&) override {}
};

const std::string& topologyPath() {
  static const std::string path = [] {
    char folder[] = "/tmp/topology_fuzz_XXXXXX";
    if (mkdtemp(folder) == nullptr) {
      std::abort();
    }
    return std::string(folder) + "/net.ini";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static SilentSink sink;
  static YVclUtil::ScopedDiagnosticSink quiet(sink);

  std::FILE* file = std::fopen(topologyPath().c_str(), "wb");
  if (file == nullptr) {
    std::abort();
  }
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  FuzzBridge bridge(nullptr);
  bridge.pw_Name("VODed1");
  TTvx4i4o tmpl(nullptr);
  TTvx4i4o placed(nullptr, 0x80, 0x01, &bridge);
  bridge.pw_DefHandler_Tvx4i4o(&tmpl);
  bridge.pw_FileName(topologyPath());
  for (int round = 0; round < 2; ++round) {
    try {
      bridge.LoadAndChkTopologicIniAndAssignDefaultHcnComponentToHcnTopologic();
    } catch (const tvx::platform::Exception&) {
    }
  }
  if (bridge.pr_TopologicHcnComponent(0x80, 0x01) != &placed) {
    std::abort();
  }
  return 0;
}
