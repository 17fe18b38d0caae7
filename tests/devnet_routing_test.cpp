#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devnet/tvx4i4o.h"
#include "devnet_recording_bridge.h"
#include "util/ey_general.h"

using namespace KwxCtrl;
using tvx::test::MakeRxdPacket;
using tvx::test::RecordingBridge;
using YVclUtil::EYGeneral;

namespace {

std::string messageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EYGeneral& error) {
    return error.Message();
  }
  return "(nothing raised)";
}

std::vector<std::uint8_t> wireBytes(const _SHCNTXDPACKET& packet) {
  std::vector<std::uint8_t> bytes = {packet.HcnSegId, packet.HcnNodeId, packet.BytesOfDatas};
  for (int i = 0; i < packet.BytesOfDatas; ++i) {
    bytes.push_back(packet.Datas[i]);
  }
  return bytes;
}

struct EventLog {
  std::vector<std::string> lines;
  THcnNotifyEvent notify(const std::string& name) {
    return [this, name](TComponent* sender, std::uint8_t seg, std::uint8_t node) {
      lines.push_back(name + " " + sender->pr_Name() + " " + std::to_string(seg) + "/" +
                      std::to_string(node));
    };
  }
  THcnRxdPacketEvent unfiltered(const std::string& name) {
    return [this, name](TComponent* sender, const THcnRxdPacket& packet) {
      lines.push_back(name + " " + sender->pr_Name() + " code " + std::to_string(packet.Datas[0]));
    };
  }
};

class RoutingTest : public ::testing::Test {
 protected:
  RoutingTest() {
    bridge.pw_Name("Bridge");
    module = new TTvx4i4o(&bridge, 0x05, 0x12, &bridge);
    module->pw_Name("Module");
  }

  RecordingBridge bridge{nullptr};
  TTvx4i4o* module;
  EventLog log;
};

}  // namespace

TEST(NodeAddressTest, RangesAreCheckedWithTheirMessages) {
  TTvx4i4o module(nullptr);
  EXPECT_EQ(module.pr_HcnClsId(), hci_Tvx4i4o);
  EXPECT_EQ(module.pr_HcnSegId(), 0x80);
  EXPECT_EQ(module.pr_HcnNodeId(), 0x00);

  module.pw_HcnSegId(0x80);
  module.pw_HcnNodeId(0x7F);
  EXPECT_EQ(module.pr_HcnSegId(), 0x80);
  EXPECT_EQ(module.pr_HcnNodeId(), 0x7F);
  EXPECT_EQ(messageOf([&] { module.pw_HcnSegId(0x81); }),
            "Invalid value, the range must be 0x00~0x80 !!!");
  EXPECT_EQ(messageOf([&] { module.pw_HcnNodeId(0x80); }),
            "Invalid value, the range must be 0x00~0x7F !!!");
  EXPECT_EQ(module.pr_HcnSegId(), 0x80);
  EXPECT_EQ(module.pr_HcnNodeId(), 0x7F);
}

TEST(NodeAddressTest, BridgeAddressIsFixed) {
  RecordingBridge bridge(nullptr);
  bridge.pw_HcnSegId(0x01);
  bridge.pw_HcnNodeId(0x02);
  EXPECT_EQ(bridge.pr_HcnClsId(), hci_Rnsm);
  EXPECT_EQ(bridge.pr_HcnSegId(), 0x80);
  EXPECT_EQ(bridge.pr_HcnNodeId(), 0x80);
  EXPECT_FALSE(bridge.pr_Connected());
}

TEST_F(RoutingTest, RepliesFireTheirEventsAndKeepTheirValues) {
  module->OnGotHcnProtocolVersion = log.notify("version");
  module->OnGotHcnClsId = log.notify("clsid");
  module->OnGotHcnCustomerId = log.notify("customer");
  module->OnSuccessfulReset = log.notify("reset");
  module->OnPacketUnreachable = log.notify("unreachable");
  module->OnUnfilteredRxdHcnPacket = log.unfiltered("unfiltered");

  bridge.FilteringReceivedHcnPacket(MakeRxdPacket(0x05, 0x12, {0x13, 0x02}));
  bridge.FilteringReceivedHcnPacket(MakeRxdPacket(0x05, 0x12, {0x14, 0x80}));
  bridge.FilteringReceivedHcnPacket(MakeRxdPacket(0x05, 0x12, {0x15, 0x33}));
  bridge.FilteringReceivedHcnPacket(MakeRxdPacket(0x05, 0x12, {0x1F}));
  bridge.FilteringReceivedHcnPacket(MakeRxdPacket(0x05, 0x12, {0x21, 0x07, 0x08, 0x09}));
  bridge.FilteringReceivedHcnPacket(MakeRxdPacket(0x05, 0x12, {0x42, 0x01}));

  EXPECT_EQ(log.lines,
            (std::vector<std::string>{"version Module 5/18", "clsid Module 5/18",
                                      "customer Module 5/18", "reset Module 5/18",
                                      "unreachable Module 5/18", "unfiltered Module code 66"}));
  EXPECT_EQ(module->pr_GotHcnProtocolVersion(), 0x02);
  EXPECT_EQ(module->pr_GotHcnClsId(), 0x80);
  EXPECT_EQ(module->pr_GotHcnCustomerId(), 0x33);
  EXPECT_EQ(module->pr_PacketUnreachableReport(), (std::array<std::uint8_t, 3>{7, 8, 9}));
  EXPECT_TRUE(bridge.sent.empty());
}

TEST_F(RoutingTest, ReplyWithoutHandlerGoesOnAsUnfiltered) {
  module->OnUnfilteredRxdHcnPacket = log.unfiltered("unfiltered");
  bridge.FilteringReceivedHcnPacket(MakeRxdPacket(0x05, 0x12, {0x14, 0x80}));
  bridge.FilteringReceivedHcnPacket(MakeRxdPacket(0x05, 0x12, {0x21, 1, 2, 3}));
  EXPECT_EQ(log.lines,
            (std::vector<std::string>{"unfiltered Module code 20", "unfiltered Module code 33"}));
  EXPECT_EQ(module->pr_GotHcnClsId(), 0x80);  // the value is kept all the same
  EXPECT_EQ(module->pr_PacketUnreachableReport(), (std::array<std::uint8_t, 3>{1, 2, 3}));
}

TEST_F(RoutingTest, PacketsOutsideTheRangesAreDroppedAndFreeAddressesReachTheBridge) {
  module->OnUnfilteredRxdHcnPacket = log.unfiltered("module");
  module->OnSuccessfulReset = log.notify("module-reset");
  bridge.OnUnhandledRxdHcnPacket = log.unfiltered("unhandled");
  bridge.OnUnhandledSuccessfulReset = log.notify("unhandled-reset");
  bridge.OnUnhandledGotHcnClsId = log.notify("unhandled-clsid");

  bridge.FilteringReceivedHcnPacket(MakeRxdPacket(0x81, 0x12, {0x1F}));
  bridge.FilteringReceivedHcnPacket(MakeRxdPacket(0x05, 0x80, {0x1F}));
  EXPECT_TRUE(log.lines.empty());

  bridge.FilteringReceivedHcnPacket(MakeRxdPacket(0x80, 0x03, {0x1F}));
  bridge.FilteringReceivedHcnPacket(MakeRxdPacket(0x05, 0x13, {0x14, 0x80}));
  bridge.FilteringReceivedHcnPacket(MakeRxdPacket(0x07, 0x01, {0x81, 0x01}));
  bridge.FilteringReceivedHcnPacket(MakeRxdPacket(0x05, 0x12, {0x1F}));
  // The bridge names the free address that the packet came from.
  EXPECT_EQ(log.lines,
            (std::vector<std::string>{"unhandled-reset Bridge 128/3", "unhandled-clsid Bridge 5/19",
                                      "unhandled Bridge code 129", "module-reset Module 5/18"}));
  EXPECT_EQ(bridge.pr_GotHcnClsId(), 0x80);
}

TEST_F(RoutingTest, OutputBitsAreSentAsOneByte) {
  module->pw_Yout(0x01);
  module->pw_BitOfY(2, true);
  module->pw_BitOfY(0, false);
  module->pw_BitOfY(4, true);
  module->pw_BitOfY(-1, true);
  ASSERT_EQ(bridge.sent.size(), 3U);
  EXPECT_EQ(wireBytes(bridge.sent[0]), (std::vector<std::uint8_t>{0x05, 0x12, 0x02, 0x84, 0x01}));
  EXPECT_EQ(wireBytes(bridge.sent[1]), (std::vector<std::uint8_t>{0x05, 0x12, 0x02, 0x84, 0x05}));
  EXPECT_EQ(wireBytes(bridge.sent[2]), (std::vector<std::uint8_t>{0x05, 0x12, 0x02, 0x84, 0x04}));
  EXPECT_TRUE(module->pr_BitOfY(2));
  EXPECT_FALSE(module->pr_BitOfY(0));
  EXPECT_FALSE(module->pr_BitOfY(4));
  EXPECT_EQ(module->pr_Yout(), 0x04);
}

TEST_F(RoutingTest, QueriesAndResetAreSentToTheNodesOwnAddress) {
  module->QueryHcnProtocolVersion();
  module->QueryHcnClsId();
  module->QueryHcnCustomerId();
  module->RequestToReset();
  ASSERT_EQ(bridge.sent.size(), 4U);
  const std::uint8_t codes[] = {0x03, 0x04, 0x05, 0x0F};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(wireBytes(bridge.sent[i]), (std::vector<std::uint8_t>{0x05, 0x12, 0x01, codes[i]}));
  }
}

TEST_F(RoutingTest, ResetClearsOutputsAndAnUnaskedResetRestoresThem) {
  module->pw_Yout(0x03);
  module->RequestToReset();
  EXPECT_EQ(module->pr_Yout(), 0x00);
  bridge.sent.clear();
  bridge.FilteringReceivedHcnPacket(MakeRxdPacket(0x05, 0x12, {0x1F}));
  EXPECT_TRUE(bridge.sent.empty());

  module->pw_Yout(0x0A);
  bridge.sent.clear();
  bridge.FilteringReceivedHcnPacket(MakeRxdPacket(0x05, 0x12, {0x1F}));
  ASSERT_EQ(bridge.sent.size(), 1U);  // also without an OnSuccessfulReset handler
  EXPECT_EQ(wireBytes(bridge.sent[0]), (std::vector<std::uint8_t>{0x05, 0x12, 0x02, 0x84, 0x0A}));
}

TEST_F(RoutingTest, InputReportsKeepThePreviousInputs) {
  module->OnInputChanged = log.notify("inputs");
  module->OnUnfilteredRxdHcnPacket = log.unfiltered("unfiltered");
  bridge.FilteringReceivedHcnPacket(MakeRxdPacket(0x05, 0x12, {0x81, 0x03}));
  bridge.FilteringReceivedHcnPacket(MakeRxdPacket(0x05, 0x12, {0x81, 0x0A}));
  EXPECT_EQ(log.lines, (std::vector<std::string>{"inputs Module 5/18", "inputs Module 5/18"}));
  EXPECT_EQ(module->pr_Xin(), 0x0A);
  EXPECT_EQ(module->pr_Old_Xin(), 0x03);
  EXPECT_TRUE(module->pr_BitOfX(1));
  EXPECT_FALSE(module->pr_BitOfX(0));
  EXPECT_TRUE(module->pr_Old_BitOfX(0));
  EXPECT_FALSE(module->pr_BitOfX(7));
  EXPECT_FALSE(module->pr_Old_BitOfX(-3));
}

TEST(NodeWithoutBridgeTest, SendsNothingAndKeepsItsOutputs) {
  TTvx4i4o module(nullptr, 0x01, 0x02);
  module.pw_Yout(0x0F);
  module.RequestToReset();
  EXPECT_EQ(module.pr_Yout(), 0x00);
  EXPECT_EQ(module.pr_BindTo(), nullptr);
}

TEST(TopologicTableTest, AddressesAreCheckedAndOwnedOnce) {
  RecordingBridge bridge(nullptr);
  TTvx4i4o first(nullptr, 0x80, 0x01, &bridge);
  EXPECT_EQ(bridge.pr_TopologicClsId(0x80, 0x01), hci_Tvx4i4o);
  EXPECT_EQ(bridge.pr_TopologicHcnComponent(0x80, 0x01), &first);
  EXPECT_EQ(bridge.pr_TopologicFlags(0x80, 0x01), THCNet_Topologic::kOriginConstructor);
  EXPECT_EQ(bridge.pr_TopologicClsId(0x80, 0x02), 0U);
  EXPECT_EQ(bridge.pr_TopologicHcnComponent(0x00, 0x00), nullptr);  // segment without table

  const std::string outside = "\nThe address of node is not belong to the topologic of VODed !!!\n";
  EXPECT_EQ(messageOf([&] { bridge.pr_TopologicClsId(0x81, 0x00); }), outside);
  EXPECT_EQ(messageOf([&] { bridge.pr_TopologicHcnComponent(0x00, 0x80); }), outside);

  // The same component again changes only the origin.
  bridge.AddHcnComponentToHcnTopologic(&first, THCNet_Topologic::kOriginForm);
  EXPECT_EQ(bridge.pr_TopologicFlags(0x80, 0x01), THCNet_Topologic::kOriginForm);

  TComponent owner;
  EXPECT_EQ(messageOf([&] { new TTvx4i4o(&owner, 0x80, 0x01, &bridge); }),
            "\nErr: Duplicated VODed Address !!!\nHcnSegId  = 0x80\nHcnNodeId = 0x01\n");
  EXPECT_TRUE(owner.pr_Components().empty());  // the refused module is gone
  EXPECT_EQ(messageOf([&] { new TTvx4i4o(&owner, 0x0A, 0x7E, &bridge); }), "(nothing raised)");
  EXPECT_EQ(messageOf([&] { new TTvx4i4o(&owner, 0x0A, 0x7E, &bridge); }),
            "\nErr: Duplicated VODed Address !!!\nHcnSegId  = 0x0A\nHcnNodeId = 0x7E\n");
  EXPECT_EQ(messageOf([&] { TTvx4i4o(nullptr, 0x81, 0x00, &bridge); }), outside);
}

TEST(TopologicTableTest, ModulesOfTheBridgeAreFoundByAddressAndKind) {
  RecordingBridge bridge(nullptr);
  TTvx4i4o module(nullptr, 0x02, 0x03, &bridge);
  EXPECT_EQ(bridge.pr_Tvx4i4o(0x02, 0x03), &module);
  const std::string outside = "\nThe address of node is not belong to the topologic of VODed !!!\n";
  EXPECT_EQ(messageOf([&] { bridge.pr_Tvx4i4o(0x81, 0x03); }), outside);
  EXPECT_EQ(messageOf([&] { bridge.pr_Tvx4i4o(0x02, 0x80); }), outside);
  EXPECT_EQ(messageOf([&] { bridge.pr_Tvx4i4o(0x04, 0x03); }), outside);
  EXPECT_EQ(messageOf([&] { bridge.pr_Tvx4i4o(0x02, 0x04); }),
            "\nThe address of node is not a TTvx4i4o component !!!\n");
}

TEST(LifetimeTest, DestroyedComponentsLeaveNoDanglingLinks) {
  auto* bridge = new RecordingBridge(nullptr);
  auto* gone = new TTvx4i4o(nullptr, 0x01, 0x01, bridge);
  TTvx4i4o survivor(nullptr, 0x01, 0x02, bridge);
  delete gone;
  EXPECT_EQ(bridge->pr_TopologicHcnComponent(0x01, 0x01), nullptr);
  EXPECT_EQ(bridge->pr_TopologicClsId(0x01, 0x01), 0U);
  bridge->FilteringReceivedHcnPacket(MakeRxdPacket(0x01, 0x01, {0x81, 0x01}));  // no crash

  auto* tmpl = new TTvx4i4o(nullptr);
  bridge->pw_DefHandler_Tvx4i4o(tmpl);
  delete tmpl;
  EXPECT_EQ(bridge->pr_DefHandler_Tvx4i4o(), nullptr);

  delete bridge;
  EXPECT_EQ(survivor.pr_BindTo(), nullptr);
  survivor.pw_Yout(0x01);  // sends nothing, touches nothing freed
}

TEST(LoaderTest, NodeJoinsWhenAllThreePropertiesWereRead) {
  RecordingBridge bridge(nullptr);
  TTvx4i4o complete(nullptr);
  complete.BeginLoading();
  complete.pw_BindTo(&bridge);
  complete.pw_HcnSegId(0x10);
  complete.pw_HcnNodeId(0x20);
  EXPECT_EQ(bridge.pr_TopologicHcnComponent(0x10, 0x20), nullptr);
  complete.Loaded();
  EXPECT_EQ(bridge.pr_TopologicHcnComponent(0x10, 0x20), &complete);
  EXPECT_EQ(bridge.pr_TopologicFlags(0x10, 0x20), THCNet_Topologic::kOriginForm);
  EXPECT_EQ(complete.pr_ComponentState() & TComponent::csLoading, 0U);

  TTvx4i4o withoutNode(nullptr);
  withoutNode.BeginLoading();
  withoutNode.pw_BindTo(&bridge);
  withoutNode.pw_HcnSegId(0x10);
  withoutNode.Loaded();
  EXPECT_EQ(bridge.pr_TopologicHcnComponent(0x10, 0x00), nullptr);

  TTvx4i4o clash(nullptr);
  clash.BeginLoading();
  clash.pw_BindTo(&bridge);
  clash.pw_HcnSegId(0x10);
  clash.pw_HcnNodeId(0x20);
  EXPECT_EQ(messageOf([&] { clash.Loaded(); }),
            "\nErr: Duplicated VODed Address !!!\nHcnSegId  = 0x10\nHcnNodeId = 0x20\n");
}

TEST(CopyTest, CopyTakesEverythingButTheAddress) {
  RecordingBridge bridge(nullptr);
  TTvx4i4o source(nullptr, 0x01, 0x01);
  source.pw_BindTo(&bridge);
  int inputEvents = 0;
  source.OnInputChanged = [&](TComponent*, std::uint8_t, std::uint8_t) { ++inputEvents; };
  source.pw_Yout(0x06);
  bridge.sent.clear();

  TTvx4i4o copy(nullptr, hci_Tvx4i4o, 0x02, 0x03, source);
  EXPECT_EQ(copy.pr_HcnSegId(), 0x02);
  EXPECT_EQ(copy.pr_HcnNodeId(), 0x03);
  EXPECT_EQ(copy.pr_Yout(), 0x06);
  EXPECT_EQ(copy.pr_BindTo(), &bridge);
  copy.FilteringReceivedHcnPacket(MakeRxdPacket(0x02, 0x03, {0x81, 0x01}));
  EXPECT_EQ(inputEvents, 1);
  copy.pw_BitOfY(0, true);
  ASSERT_EQ(bridge.sent.size(), 1U);
  EXPECT_EQ(wireBytes(bridge.sent[0]), (std::vector<std::uint8_t>{0x02, 0x03, 0x02, 0x84, 0x07}));

  EXPECT_EQ(messageOf([&] { TTvx4i4o(nullptr, hci_Rnsm, 0x02, 0x03, source); }),
            "\nErr: VODed 元件的類別不同,故無法進行拷貝式的建構 !!!\n");
}

TEST(CopyTest, BridgeMakesModulesFromItsTemplateAndFreesThem) {
  RecordingBridge bridge(nullptr);
  EXPECT_EQ(bridge.CreateDefaultHcnComponentAndAddToHcnTopologic(hci_Tvx4i4o, 0x80, 0x01, &bridge),
            nullptr);
  TTvx4i4o tmpl(nullptr);
  int resets = 0;
  tmpl.OnSuccessfulReset = [&](TComponent*, std::uint8_t, std::uint8_t) { ++resets; };
  bridge.pw_DefHandler_Tvx4i4o(&tmpl);
  EXPECT_EQ(bridge.CreateDefaultHcnComponentAndAddToHcnTopologic(hci_Rnsm, 0x80, 0x01, &bridge),
            nullptr);

  THCNet* made =
      bridge.CreateDefaultHcnComponentAndAddToHcnTopologic(hci_Tvx4i4o, 0x80, 0x01, &bridge);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->pr_Owner(), &bridge);
  EXPECT_EQ(bridge.pr_Tvx4i4o(0x80, 0x01), made);
  EXPECT_EQ(bridge.pr_TopologicFlags(0x80, 0x01), THCNet_Topologic::kOriginDefault);
  EXPECT_EQ(static_cast<TTvx4i4o*>(made)->pr_BindTo(), &bridge);
  bridge.FilteringReceivedHcnPacket(MakeRxdPacket(0x80, 0x01, {0x1F}));
  EXPECT_EQ(resets, 1);

  TTvx4i4o placed(nullptr, 0x80, 0x02, &bridge);
  bridge.FreeHcnTopologic();
  EXPECT_TRUE(bridge.pr_Components().empty());  // the made module is destroyed
  EXPECT_EQ(bridge.pr_TopologicHcnComponent(0x80, 0x02), nullptr);
  EXPECT_EQ(placed.pr_BindTo(), &bridge);  // the placed one is only forgotten
}
