#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "devnet/hcnet_via_tvx232.h"
#include "devnet/tvx4i4o.h"
#include "devnet_fake_bridge.h"
#include "serial/pc_uart.h"
#include "support/temp_dir.h"
#include "util/ey_general.h"
#include "util/local_event_loop.h"

using namespace KwxCtrl;
using namespace std::chrono_literals;
using tvx::test::FakeBridge;

namespace {

constexpr char kTopology[] =
    "[HcnTopologic.Head]\r\nSignature=KWX\r\n\r\n"
    "[NetSegmentId_0x80]\r\nTravel_000= Device( \"TVX_4i4o\" ) , NetNodeId( 0x01 )\r\n\r\n"
    "[NetSegmentId_0x05]\r\nTravel_000= Device( \"TVX_4i4o\" ) , NetNodeId( 0x12 )\r\n\r\n";

template <typename Action>
std::string messageOf(Action action) {
  try {
    action();
  } catch (const tvx::platform::Exception& error) {
    return error.Message();
  }
  return "(nothing raised)";
}

class BridgeTest : public ::testing::Test {
 protected:
  BridgeTest() {
    tvx::test::WriteFileBytes(dir / "net.ini", kTopology);
    bridge.pw_Name("VODed1");
    bridge.pw_FileName((dir / "net.ini").string());
    bridge.pw_UartDevicePath(fake.path());
    bridge.pw_DefHandler_Tvx4i4o(&tmpl);
    bridge.OnConnectOK = record("ConnectOK");
    bridge.OnConnectFail = record("ConnectFail");
    bridge.OnUartTxdFail = record("UartTxdFail");
    bridge.OnReplyYout = record("ReplyYout");
    bridge.OnReplyXin = record("ReplyXin");
    bridge.OnReplyHcnFlags = record("ReplyHcnFlags");
    bridge.OnResetRnsm_OK = record("ResetRnsm_OK");
    bridge.OnResetRnsm_WDT = record("ResetRnsm_WDT");
    tmpl.OnInputChanged = [this](TComponent*, std::uint8_t seg, std::uint8_t node) {
      events.push_back("InputChanged " + std::to_string(seg) + "/" + std::to_string(node));
    };
  }

  tvx::platform::TNotifyEvent record(const std::string& name) {
    return [this, name](TComponent* sender) {
      EXPECT_EQ(sender, &bridge);
      events.push_back(name);
    };
  }
  int count(const std::string& name) const {
    return static_cast<int>(std::count(events.begin(), events.end(), name));
  }
  bool runUntilEvent(const std::string& name, std::chrono::milliseconds timeout = 5s) {
    const int before = count(name);
    return loop.runUntil([&] { return count(name) > before; }, timeout);
  }
  // Runs the loop until the fake bridge has received the line.
  bool runUntilFakeGot(const std::string& line) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!fake.hasLine(line) && std::chrono::steady_clock::now() < deadline) {
      loop.runFor(10ms);
    }
    return fake.hasLine(line);
  }
  void connect() {
    bridge.Connect();
    ASSERT_TRUE(loop.runUntil([&] { return count("ConnectOK") + count("ConnectFail") > 0; }, 5s));
    ASSERT_EQ(count("ConnectOK"), 1);
    ASSERT_TRUE(bridge.pr_Connected());
    events.clear();
    fake.clearReceived();
  }

  tvx::LocalEventLoop loop;
  tvx::ScopedUiEventLoop uiLoop{loop};
  FakeBridge fake;
  tvx::test::TempDir dir;
  TTvx4i4o tmpl{nullptr};
  THCNetViaTvx232 bridge{nullptr};
  std::vector<std::string> events;
};

}  // namespace

TEST_F(BridgeTest, ConnectsWhenAllNineRegistersHaveAnswered) {
  fake.setRegister('0', 0x00);
  fake.setRegister('1', 0x05);
  fake.setRegister('7', 0x04);
  bridge.Connect();
  EXPECT_TRUE(bridge.pr_Connecting());
  EXPECT_FALSE(bridge.pr_Connected());
  ASSERT_TRUE(runUntilEvent("ConnectOK"));
  EXPECT_EQ(fake.receivedBytes(),
            " \n ?R3\r\n ?R4\r\n ?R5\r\n ?R6\r\n ?R7\r\n ?R8\r\n ?R9\r\n ?R0\r\n ?R1\r\n");
  EXPECT_TRUE(bridge.pr_X(0));
  EXPECT_FALSE(bridge.pr_X(1));
  EXPECT_TRUE(bridge.pr_X(2));
  EXPECT_FALSE(bridge.pr_X(4));
  EXPECT_EQ(bridge.pr_R3(), 0x03);
  EXPECT_EQ(bridge.pr_R7(), 0x04);
  EXPECT_EQ(bridge.pr_R9(), 0x09);
  EXPECT_FALSE(bridge.pr_Connecting());
  // The declared modules exist now, made from the template.
  EXPECT_NE(bridge.pr_Tvx4i4o(0x05, 0x12), nullptr);
  loop.runFor(2200ms);  // the stopped timer fires no failure later
  EXPECT_EQ(events, (std::vector<std::string>{"ConnectOK"}));
  EXPECT_TRUE(bridge.pr_PcUart()->pr_Opened());
}

TEST_F(BridgeTest, MissingAnswerFailsAfterTwoSecondsAndClosesThePort) {
  fake.keepQuietAbout("9");
  const auto start = std::chrono::steady_clock::now();
  bridge.Connect();
  ASSERT_TRUE(runUntilEvent("ConnectFail"));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 1900ms);
  EXPECT_EQ(events, (std::vector<std::string>{"ConnectFail"}));
  EXPECT_FALSE(bridge.pr_Connected());
  EXPECT_FALSE(bridge.pr_Connecting());
  EXPECT_FALSE(bridge.pr_PcUart()->pr_Opened());
}

TEST_F(BridgeTest, SilentBridgeOrUnexpectedAnswersFailTheConnection) {
  fake.keepQuietAbout("*");
  bridge.Connect();
  ASSERT_TRUE(runUntilEvent("ConnectFail"));

  // An RE answer among the nine keeps the reply mask from ever matching.
  fake.keepQuietAbout("");
  fake.setResponder([](const std::string& line) -> std::vector<std::string> {
    if (line == " ") {  // the blank line that opens the query burst
      return {"*RE=01\r\n"};
    }
    return {};
  });
  events.clear();
  bridge.Connect();
  ASSERT_TRUE(runUntilEvent("ConnectFail"));
  EXPECT_EQ(events, (std::vector<std::string>{"ConnectFail"}));
}

TEST_F(BridgeTest, DisconnectWhileConnectingStillEndsInConnectFail) {
  fake.keepQuietAbout("*");
  bridge.Connect();
  bridge.Disconnect();
  EXPECT_FALSE(bridge.pr_PcUart()->pr_Opened());
  ASSERT_TRUE(runUntilEvent("ConnectFail"));
}

TEST_F(BridgeTest, ConnectNeedsItsThreeHandlersBeforeTouchingThePort) {
  bridge.OnConnectFail = nullptr;
  EXPECT_EQ(messageOf([&] { bridge.Connect(); }),
            "The event \"OnConnectFail\" of THCNetViaTvx232, which handler is not specified !!!");
  bridge.OnConnectOK = nullptr;
  EXPECT_EQ(messageOf([&] { bridge.Connect(); }),
            "The event \"OnConnectOK\" of THCNetViaTvx232, which handler is not specified !!!");
  bridge.OnConnectOK = record("ConnectOK");
  bridge.OnConnectFail = record("ConnectFail");
  bridge.OnUartTxdFail = nullptr;
  EXPECT_EQ(messageOf([&] { bridge.Connect(); }),
            "The event \"OnUartTxdFail\" of THCNetViaTvx232, which handler is not specified !!!");
  EXPECT_FALSE(bridge.pr_PcUart()->pr_Opened());
  EXPECT_TRUE(fake.receivedBytes().empty());
}

TEST_F(BridgeTest, TopologyAndPortErrorsStopTheConnect) {
  bridge.pw_FileName((dir / "missing.ini").string());
  EXPECT_EQ(messageOf([&] { bridge.Connect(); }),
            "\nErr: The topologic ini file is not exist !!!\nComponentName = VODed1\nFileName = " +
                (dir / "missing.ini").string() + "\n");
  EXPECT_FALSE(bridge.pr_PcUart()->pr_Opened());

  bridge.pw_FileName((dir / "net.ini").string());
  bridge.pw_UartDevicePath((dir / "no-such-tty").string());
  EXPECT_EQ(messageOf([&] { bridge.Connect(); }),
            "Open UART fail, when peform THCNetViaTvx232::Connect() !!!");
  EXPECT_EQ(bridge.pr_LastUartErrMsg(), "The comm device not exist");
  EXPECT_FALSE(bridge.pr_Connecting());
}

TEST_F(BridgeTest, EverythingButConnectNeedsTheConnectedState) {
  const std::string notConnected =
      "Illegal property access, because THCNetViaTvx232 not in connected state !!!";
  EXPECT_EQ(messageOf([&] { bridge.pr_Yout(); }), notConnected);
  EXPECT_EQ(messageOf([&] { bridge.pw_Yout(1); }), notConnected);
  EXPECT_EQ(messageOf([&] { bridge.pw_Y(0, true); }), notConnected);
  EXPECT_EQ(messageOf([&] { bridge.pr_X(0); }), notConnected);
  EXPECT_EQ(messageOf([&] { bridge.pr_RE(); }), notConnected);
  EXPECT_EQ(messageOf([&] { bridge.pw_R8(1); }), notConnected);
  EXPECT_EQ(messageOf([&] { bridge.QueryXin(); }), notConnected);
  EXPECT_EQ(messageOf([&] { bridge.ResetRnsm(); }), notConnected);
  EXPECT_EQ(messageOf([&] { bridge.SendTxtFileToRS232("x", 0); }), notConnected);
  EXPECT_EQ(messageOf([&] { bridge.SendHcnPacket(_SHCNTXDPACKET{}); }), notConnected);
  EXPECT_EQ(messageOf([&] { bridge.pw_UartPortNumber(3); }), "(nothing raised)");
  EXPECT_EQ(bridge.pr_UartPortNumber(), 3);

  connect();
  EXPECT_EQ(messageOf([&] { bridge.pw_UartPortNumber(2); }),
            "Illegal property access, because THCNetViaTvx232 now in connected state !!!");
  EXPECT_EQ(bridge.pr_UartPortNumber(), 3);
  bridge.Disconnect();
  EXPECT_EQ(messageOf([&] { bridge.pr_Xin(); }), notConnected);
}

TEST_F(BridgeTest, RegisterWritesAndQueries) {
  fake.setRegister('1', 0x01);
  connect();
  bridge.pw_Yout(0x05);
  bridge.pw_Y(1, true);
  bridge.pw_Y(0, false);
  bridge.pw_Y(7, true);
  EXPECT_EQ(bridge.pr_Yout(), 0x06);
  EXPECT_TRUE(bridge.pr_Y(2));
  bridge.pw_R8(0x12);
  bridge.pw_R9(0xA0);
  ASSERT_TRUE(fake.waitForLine(" ?R9"));
  EXPECT_EQ(fake.receivedBytes(),
            " +R0=05\r\n +R0=07\r\n +R0=06\r\n +R8=12\r\n ?R8\r\n +R9=A0\r\n ?R9\r\n");
  EXPECT_EQ(fake.registerValue('0'), 0x06);

  // The bridge's answers refresh the cache and fire the reply events.
  fake.setRegister('0', 0x0F);
  fake.setRegister('1', 0x08);
  fake.setRegister('E', 0x42);
  bridge.QueryYout();
  ASSERT_TRUE(runUntilEvent("ReplyYout"));
  EXPECT_EQ(bridge.pr_Yout(), 0x0F);
  bridge.QueryXin();
  ASSERT_TRUE(runUntilEvent("ReplyXin"));
  EXPECT_EQ(bridge.pr_Xin(), 0x08);
  EXPECT_TRUE(bridge.pr_X(3));
  EXPECT_FALSE(bridge.pr_X(0));
  EXPECT_TRUE(bridge.pr_Old_X(0));  // as the connection found it
  bridge.QueryHcnFlags();
  ASSERT_TRUE(runUntilEvent("ReplyHcnFlags"));
  EXPECT_EQ(bridge.pr_RE(), 0x42);
  EXPECT_EQ(bridge.pr_R8(), 0x12);
  EXPECT_EQ(bridge.pr_R9(), 0xA0);
}

TEST_F(BridgeTest, ResetsAnnouncedByTheBridge) {
  connect();
  bridge.pw_Yout(0x0C);
  ASSERT_TRUE(fake.waitForLine(" +R0=0C"));
  fake.clearReceived();
  fake.send("*RF=00\r\n");  // a reset nobody asked for
  ASSERT_TRUE(runUntilEvent("ResetRnsm_WDT"));
  ASSERT_TRUE(fake.waitForLine(" +R0=0C"));  // the outputs are given back

  fake.clearReceived();
  bridge.ResetRnsm();
  ASSERT_TRUE(runUntilEvent("ResetRnsm_OK"));
  ASSERT_TRUE(fake.waitForLine(" +RF=00"));
  EXPECT_EQ(fake.receivedBytes(), " +R0=00\r\n +RF=00\r\n");
  EXPECT_EQ(bridge.pr_Yout(), 0x00);
  EXPECT_EQ(events, (std::vector<std::string>{"ResetRnsm_WDT", "ResetRnsm_OK"}));
}

TEST_F(BridgeTest, MalformedAnswersAreIgnored) {
  fake.setRegister('1', 0x00);
  connect();
  fake.send("*R1=5\r\n*r1=07\r\n*R1=077\r\n*R2=01\r\n*Re=01\r\n*R1:07\r\nhello\r\n\r\n");
  fake.send("@05120281\r\n@0512028101x\r\n@0512028a01\r\n");
  fake.setRegister('0', 0x01);
  bridge.QueryYout();
  ASSERT_TRUE(runUntilEvent("ReplyYout"));
  EXPECT_EQ(events, (std::vector<std::string>{"ReplyYout"}));
  EXPECT_EQ(bridge.pr_Xin(), 0x00);
}

TEST_F(BridgeTest, FramesReachTheModulesAndModulesSendFrames) {
  connect();
  TTvx4i4o* module = bridge.pr_Tvx4i4o(0x05, 0x12);
  fake.send("@0512028101\r\n");
  ASSERT_TRUE(runUntilEvent("InputChanged 5/18"));
  EXPECT_TRUE(module->pr_BitOfX(0));

  // A module answers its class id query; a free address reaches the unhandled events.
  fake.setResponder([](const std::string& line) -> std::vector<std::string> {
    if (line == ">05120104") {
      return {"@0512021480\r\n"};
    }
    return {};
  });
  module->OnGotHcnClsId = [this](TComponent*, std::uint8_t, std::uint8_t) {
    events.push_back("GotHcnClsId");
  };
  bridge.OnUnhandledRxdHcnPacket = [this](TComponent*, const THcnRxdPacket& packet) {
    events.push_back("Unhandled " + std::to_string(packet.HcnNodeId));
  };
  module->QueryHcnClsId();
  ASSERT_TRUE(runUntilEvent("GotHcnClsId"));
  EXPECT_EQ(module->pr_GotHcnClsId(), 0x80);
  fake.send("@0513028101\r\n");
  ASSERT_TRUE(runUntilEvent("Unhandled 19"));

  fake.clearReceived();
  module->pw_Yout(0x0F);
  ASSERT_TRUE(fake.waitForLine(">051202840F"));
}

TEST_F(BridgeTest, PacketLengthIsCheckedAgainstTheBridge) {
  fake.setRegister('7', 0x04);
  connect();
  _SHCNTXDPACKET packet;
  packet.HcnSegId = 0x05;
  packet.HcnNodeId = 0x12;
  EXPECT_EQ(messageOf([&] { bridge.SendHcnPacket(packet); }),
            "The argument of .BytesOfDatas too small, when perform "
            "THCNetViaTvx232::SendHcnPacket(...) !!!");
  packet.BytesOfDatas = 5;
  EXPECT_EQ(messageOf([&] { bridge.SendHcnPacket(packet); }),
            "The argument of .BytesOfDatas too large, when perform "
            "THCNetViaTvx232::SendHcnPacket(...) !!!");
  packet.BytesOfDatas = 4;
  packet.Datas[0] = 0x42;
  bridge.SendHcnPacket(packet);
  ASSERT_TRUE(fake.waitForLine(">05120442000000"));
}

TEST_F(BridgeTest, FailedSendsAreReported) {
  connect();
  fake.hangUp();
  bridge.pw_Yout(0x01);
  EXPECT_EQ(count("UartTxdFail"), 1);
  EXPECT_FALSE(bridge.pr_LastUartErrMsg().empty());
}

TEST_F(BridgeTest, TextFilesGoOutLineByLine) {
  connect();
  tvx::test::WriteFileBytes(dir / "script.txt", " ?RE\r\n +R8=01\r\n");
  bridge.SendTxtFileToRS232((dir / "script.txt").string(), 0);
  // The next line goes out from the port's monitor thread, which also delivers the answer
  // to the first one: the loop must run meanwhile.
  ASSERT_TRUE(runUntilFakeGot(" +R8=01"));
  EXPECT_EQ(fake.registerValue('8'), 0x01);
}
