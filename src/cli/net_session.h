#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "devnet/hcnet_via_tvx232.h"
#include "devnet/tvx4i4o.h"
#include "util/local_event_loop.h"

namespace tvx::cli {

// The component name that the topology check puts in its messages.
inline constexpr char kNetBridgeName[] = "tvx880-net";

using ModuleAddress = std::pair<unsigned, unsigned>;  // segment id, node id

// The addresses of the modules in the bridge's topology, in order of segment and node.
std::vector<ModuleAddress> topologyModules(const KwxCtrl::THCNetViaTvx232& bridge);

// One connection to a bridge: its loop, the bridge, and the template of the modules that the
// topology file declares. Reports of the bridge and the modules are printed as they arrive.
class NetSession {
 public:
  NetSession(const std::string& port, const std::string& topology);
  NetSession(const NetSession&) = delete;
  NetSession& operator=(const NetSession&) = delete;

  // Connects; false after reporting why not.
  bool connect();

  tvx::LocalEventLoop& loop() { return m_loop; }
  KwxCtrl::THCNetViaTvx232& bridge() { return m_bridge; }

  // Runs request, then the loop until the bridge has answered a register query or announced
  // its reset; false when nothing came within wait.
  bool awaitBridgeReply(const std::function<void()>& request, std::chrono::milliseconds wait);
  // The same for a module's answer to a query (version, class id, customer id).
  bool awaitModuleReply(const std::function<void()>& request, std::chrono::milliseconds wait);

 private:
  KwxCtrl::THcnNotifyEvent replyPrinter(const std::string& what,
                                        std::uint8_t (KwxCtrl::TTvx4i4o::*value)() const);
  bool awaitMore(const int& counter, const std::function<void()>& request,
                 std::chrono::milliseconds wait);

  std::string m_port;
  tvx::LocalEventLoop m_loop;
  tvx::ScopedUiEventLoop m_uiLoop{m_loop};
  KwxCtrl::TTvx4i4o m_template{nullptr};
  KwxCtrl::THCNetViaTvx232 m_bridge{nullptr};
  bool m_connectDone = false;
  int m_replies = 0;
  int m_moduleReplies = 0;
};

}  // namespace tvx::cli
