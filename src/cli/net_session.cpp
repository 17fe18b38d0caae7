#include "cli/net_session.h"

#include "cli/net_text.h"
#include "cli/report.h"
#include "serial/port_map.h"
#include "util/platform_exception.h"

namespace tvx::cli {
namespace {

using namespace std::chrono_literals;
using KwxCtrl::TTvx4i4o;
using tvx::platform::TComponent;

constexpr auto kConnectWait = 5s;  // the bridge itself gives up after 2 s

std::string packetText(const KwxCtrl::THcnRxdPacket& packet) {
  std::string text;
  for (int i = 0; i < packet.BytesOfDatas && i < KwxCtrl::kHcnDatasSize; ++i) {
    text += (i == 0 ? "" : " ") + hex2(packet.Datas[i]);
  }
  return text;
}

}  // namespace

std::vector<ModuleAddress> topologyModules(const KwxCtrl::THCNetViaTvx232& bridge) {
  std::vector<ModuleAddress> found;
  for (unsigned seg = 0; seg <= KwxCtrl::kHcnMaxSegId; ++seg) {
    for (unsigned node = 0; node <= KwxCtrl::kHcnMaxNodeId; ++node) {
      if (bridge.pr_TopologicClsId(seg, node) == KwxCtrl::hci_Tvx4i4o) {
        found.emplace_back(seg, node);
      }
    }
  }
  return found;
}

NetSession::NetSession(const std::string& port, const std::string& topology) : m_port(port) {
  m_template.OnInputChanged = [](TComponent* sender, std::uint8_t seg, std::uint8_t node) {
    const auto* module = static_cast<TTvx4i4o*>(sender);
    say(address(seg, node) + " inputs " + hex2(module->pr_Xin()) + " (was " +
        hex2(module->pr_Old_Xin()) + "): " + bits(module->pr_Xin(), 'X'));
  };
  m_template.OnSuccessfulReset = [](TComponent* sender, std::uint8_t seg, std::uint8_t node) {
    const auto* module = static_cast<TTvx4i4o*>(sender);
    say(address(seg, node) + " reset done" +
        (module->pr_Yout() != 0 ? ", outputs " + hex2(module->pr_Yout()) + " restored" : ""));
  };
  m_template.OnPacketUnreachable = [](TComponent* sender, std::uint8_t seg, std::uint8_t node) {
    const auto report = static_cast<TTvx4i4o*>(sender)->pr_PacketUnreachableReport();
    say(address(seg, node) + " reports an undelivered packet: " + hex2(report[0]) + " " +
        hex2(report[1]) + " " + hex2(report[2]));
  };
  m_template.OnGotHcnProtocolVersion =
      replyPrinter("protocol version", &TTvx4i4o::pr_GotHcnProtocolVersion);
  m_template.OnGotHcnClsId = replyPrinter("class id", &TTvx4i4o::pr_GotHcnClsId);
  m_template.OnGotHcnCustomerId = replyPrinter("customer id", &TTvx4i4o::pr_GotHcnCustomerId);
  m_template.OnUnfilteredRxdHcnPacket = [](TComponent*, const KwxCtrl::THcnRxdPacket& packet) {
    say(address(packet.HcnSegId, packet.HcnNodeId) + " sent " + packetText(packet));
  };

  m_bridge.pw_Name(kNetBridgeName);
  m_bridge.pw_FileName(topology);
  m_bridge.pw_DefHandler_Tvx4i4o(&m_template);
  m_bridge.OnConnectOK = [this](TComponent*) { m_connectDone = true; };
  m_bridge.OnConnectFail = [this](TComponent*) { m_connectDone = true; };
  m_bridge.OnUartTxdFail = [this](TComponent*) {
    say("sending to the bridge failed: " + m_bridge.pr_LastUartErrMsg());
  };
  m_bridge.OnReplyYout = [this](TComponent*) { ++m_replies; };
  m_bridge.OnReplyXin = [this](TComponent*) { ++m_replies; };
  m_bridge.OnReplyHcnFlags = [this](TComponent*) { ++m_replies; };
  m_bridge.OnResetRnsm_OK = [this](TComponent*) {
    ++m_replies;
    say("bridge reset done");
  };
  m_bridge.OnResetRnsm_WDT = [this](TComponent*) {
    say("the bridge reset by itself (watchdog or power); its outputs " + hex2(m_bridge.pr_Yout()) +
        " were restored");
  };
  m_bridge.OnUnhandledRxdHcnPacket = [](TComponent*, const KwxCtrl::THcnRxdPacket& packet) {
    say(address(packet.HcnSegId, packet.HcnNodeId) + " (not in the topology file) sent " +
        packetText(packet));
  };
  m_bridge.OnUnhandledSuccessfulReset = [](TComponent*, std::uint8_t seg, std::uint8_t node) {
    say(address(seg, node) + " (not in the topology file) reset");
  };
}

bool NetSession::connect() {
  const auto port = tvx::platform::ParsePortName(m_port);
  if (!port) {
    reportFailure("\"" + m_port + "\" is no serial port (give COM3, 3 or a device path)");
    return false;
  }
  if (port->number) {
    m_bridge.pw_UartPortNumber(static_cast<int>(*port->number));
  } else {
    m_bridge.pw_UartDevicePath(port->path);
  }
  try {
    m_bridge.Connect();
  } catch (const tvx::platform::Exception& error) {
    std::string reason = oneLine(error.Message());
    if (!m_bridge.pr_LastUartErrMsg().empty()) {
      reason += " (" + m_bridge.pr_LastUartErrMsg() + ")";
    }
    reportFailure(reason);
    return false;
  }
  m_loop.runUntil([this] { return m_connectDone; }, kConnectWait);
  if (!m_bridge.pr_Connected()) {
    reportFailure("the bridge on " + m_port +
                  " did not answer within 2 s (check its power, the cable and that it runs at "
                  "38400 baud)");
    return false;
  }
  say("connected to the bridge on " + m_port + ": outputs " + hex2(m_bridge.pr_Yout()) +
      ", inputs " + hex2(m_bridge.pr_Xin()) + ", largest packet " + hex2(m_bridge.pr_R7()) +
      " bytes, " + std::to_string(topologyModules(m_bridge).size()) + " module(s) in the topology");
  return true;
}

bool NetSession::awaitBridgeReply(const std::function<void()>& request,
                                  std::chrono::milliseconds wait) {
  return awaitMore(m_replies, request, wait);
}

bool NetSession::awaitModuleReply(const std::function<void()>& request,
                                  std::chrono::milliseconds wait) {
  return awaitMore(m_moduleReplies, request, wait);
}

// The events that count replies run inside the loop only, so counting before the request
// misses none.
bool NetSession::awaitMore(const int& counter, const std::function<void()>& request,
                           std::chrono::milliseconds wait) {
  const int before = counter;
  request();
  return m_loop.runUntil([&] { return counter > before; }, wait);
}

KwxCtrl::THcnNotifyEvent NetSession::replyPrinter(const std::string& what,
                                                  std::uint8_t (TTvx4i4o::*value)() const) {
  return [this, what, value](TComponent* sender, std::uint8_t seg, std::uint8_t node) {
    ++m_moduleReplies;
    say(address(seg, node) + " " + what + " " + hex2((static_cast<TTvx4i4o*>(sender)->*value)()));
  };
}

}  // namespace tvx::cli
