#include <gtest/gtest.h>

#include <string>

#include "devnet/tvx4i4o.h"
#include "devnet_recording_bridge.h"
#include "support/temp_dir.h"
#include "util/ey_general.h"

using namespace KwxCtrl;
using tvx::test::RecordingBridge;
using YVclUtil::EYGeneral;

namespace {

constexpr std::uint32_t kDeclared = THCNet_Topologic::kDeclaredByFile;

std::string header(const std::string& signature = "KWX") {
  return "[HcnTopologic.Head]\r\nSignature=" + signature + "\r\n\r\n";
}

std::string travel(int key, const std::string& device, const std::string& node) {
  char name[16];
  std::snprintf(name, sizeof name, "Travel_%03d", key);
  return std::string(name) + "= Device( \"" + device + "\" ) , NetNodeId( " + node + " )\r\n";
}

// A component of a kind that the topology file cannot declare.
class OtherNode : public THCNet_Node {
 public:
  OtherNode(TComponent* owner, std::uint8_t seg, std::uint8_t node, THCNet_Topologic* topologic)
      : THCNet_Node(owner, static_cast<_EHcnClsId>(0x90), seg, node, topologic) {}

 protected:
  void BeforeRunRequestToReset() override {}
};

// A bridge whose factory makes a module but does not put it into the table.
class ForgetfulBridge : public RecordingBridge {
 public:
  using RecordingBridge::RecordingBridge;

 protected:
  THCNet* CreateDefaultHcnComponentAndAddToHcnTopologic(_EHcnClsId, std::uint8_t seg,
                                                        std::uint8_t node,
                                                        THCNet_Topologic*) override {
    return new TTvx4i4o(this, seg, node);
  }
};

class TopologicFileTest : public ::testing::Test {
 protected:
  TopologicFileTest() {
    bridge.pw_Name("VODed1");
    bridge.pw_DefHandler_Tvx4i4o(&tmpl);
    tmpl.pw_Yout(0x05);
  }

  // Writes the file, points the bridge at it and runs the check; answers the error text.
  std::string check(const std::string& text, THCNet_Topologic* topologic = nullptr) {
    tvx::test::WriteFileBytes(path(), text);
    return checkFile(path().string(), topologic);
  }
  std::string checkFile(const std::string& fileName, THCNet_Topologic* topologic = nullptr) {
    THCNet_Topologic& target = topologic != nullptr ? *topologic : bridge;
    target.pw_FileName(fileName);
    try {
      target.LoadAndChkTopologicIniAndAssignDefaultHcnComponentToHcnTopologic();
    } catch (const EYGeneral& error) {
      return error.Message();
    }
    return "";
  }
  std::filesystem::path path() const { return dir / "net.ini"; }
  std::string fileNameLine() const { return "FileName = " + path().string() + "\n"; }

  tvx::test::TempDir dir;
  TTvx4i4o tmpl{nullptr};
  RecordingBridge bridge{nullptr};
};

}  // namespace

TEST_F(TopologicFileTest, DeclaredModulesAreMarkedOrMadeFromTheTemplate) {
  TTvx4i4o placed(nullptr, 0x80, 0x01, &bridge);
  const std::string fixture = std::string(TVX_TEST_DATA_DIR) + "/devnet/two_segments.ini";
  const std::string before = tvx::test::ReadFileBytes(fixture);
  ASSERT_EQ(checkFile(fixture), "");

  EXPECT_EQ(bridge.pr_TopologicHcnComponent(0x80, 0x01), &placed);
  EXPECT_EQ(bridge.pr_TopologicFlags(0x80, 0x01), THCNet_Topologic::kOriginConstructor | kDeclared);
  for (auto [seg, node] : {std::pair{0x80, 0x02}, {0x05, 0x12}, {0x05, 0x7F}}) {
    TTvx4i4o* made = bridge.pr_Tvx4i4o(seg, node);
    EXPECT_EQ(made->pr_Owner(), &bridge);
    EXPECT_EQ(made->pr_BindTo(), &bridge);
    EXPECT_EQ(made->pr_Yout(), 0x05);  // copied from the template
    EXPECT_EQ(bridge.pr_TopologicFlags(seg, node), THCNet_Topologic::kOriginDefault | kDeclared);
  }
  EXPECT_EQ(bridge.pr_TopologicHcnComponent(0x05, 0x70), nullptr);  // Travel_257 is not read
  EXPECT_EQ(bridge.pr_Components().size(), 3U);
  EXPECT_EQ(tvx::test::ReadFileBytes(fixture), before);

  // A second check finds the modules it made and makes none anew.
  TTvx4i4o* made = bridge.pr_Tvx4i4o(0x05, 0x12);
  ASSERT_EQ(checkFile(fixture), "");
  EXPECT_EQ(bridge.pr_Tvx4i4o(0x05, 0x12), made);
  EXPECT_EQ(bridge.pr_Components().size(), 3U);
  EXPECT_EQ(bridge.pr_TopologicFlags(0x05, 0x12), THCNet_Topologic::kOriginDefault | kDeclared);
}

TEST_F(TopologicFileTest, FileNameMustBeSetAndExist) {
  bridge.pw_FileName("");
  try {
    bridge.LoadAndChkTopologicIniAndAssignDefaultHcnComponentToHcnTopologic();
    FAIL();
  } catch (const EYGeneral& error) {
    EXPECT_EQ(error.Message(),
              "\nErr: The FileName property is not defined !!!\nComponentName = VODed1\n");
  }
  EXPECT_EQ(
      checkFile(path().string()),
      "\nErr: The topologic ini file is not exist !!!\nComponentName = VODed1\n" + fileNameLine());
  EXPECT_FALSE(std::filesystem::exists(path()));  // and it is not made either
  std::filesystem::create_directory(path());
  EXPECT_EQ(
      checkFile(path().string()),
      "\nErr: The topologic ini file is not exist !!!\nComponentName = VODed1\n" + fileNameLine());
}

TEST_F(TopologicFileTest, HeaderNeedsTheSignatureAndTheLastSegment) {
  const std::string invalid =
      "\nErr: Invalid header in the topologic ini file !!!\nComponentName = VODed1\n" +
      fileNameLine();
  EXPECT_EQ(check(header("kwx") + "[NetSegmentId_0x80]\r\n" + travel(0, "TVX_4i4o", "0xFF")), "");
  EXPECT_EQ(check(header("KWXX") + "[NetSegmentId_0x80]\r\n" + travel(0, "TVX_4i4o", "0xFF")),
            invalid);
  EXPECT_EQ(check("[NetSegmentId_0x80]\r\n" + travel(0, "TVX_4i4o", "0x01")), invalid);
  EXPECT_EQ(check("[HcnTopologic.Head]\r\nSign=KWX\r\n[NetSegmentId_0x80]\r\n" +
                  travel(0, "TVX_4i4o", "0x01")),
            invalid);
  // Other segments do not stand in for 0x80; a section without keys does not exist.
  EXPECT_EQ(check(header() + "[NetSegmentId_0x05]\r\n" + travel(0, "TVX_4i4o", "0x01")), invalid);
  EXPECT_EQ(check(header() + "[NetSegmentId_0x80]\r\n"), invalid);
  EXPECT_EQ(check(header() + "[netsegmentid_0x80]\r\n" + travel(0, "TVX_4i4o", "0x01")), invalid);
  EXPECT_EQ(check(""), invalid);
  EXPECT_TRUE(bridge.pr_Components().empty());
}

TEST_F(TopologicFileTest, InvalidDeclarationsNameTheirSectionAndKey) {
  const auto invalid = [&](const std::string& section, const std::string& key) {
    return "\nErr: Invalid syntax in the topologic ini file !!!\nComponentName = VODed1\n" +
           fileNameLine() + "IniSection = " + section + "\nIniKey = " + key + "\n";
  };
  // Segments are read in the order of their ids, whatever the order in the file.
  EXPECT_EQ(
      check(header() + "[NetSegmentId_0x80]\r\n[NetSegmentId_0x00]\r\n" + travel(256, "", "0x01") +
            "[NetSegmentId_0x80]\r\n" + travel(0, "TVX_4i4o", "0x01")),
      invalid("NetSegmentId_0x00", "Travel_256"));
  const std::string start = header() + "[NetSegmentId_0x80]\r\n" + travel(0, "TVX_4i4o", "0x01");
  EXPECT_EQ(check(start + "Travel_001=TVX_4i4o 0x02\r\n"),
            invalid("NetSegmentId_0x80", "Travel_001"));
  EXPECT_EQ(check(start + travel(2, "TVX_4i4o", "2")), invalid("NetSegmentId_0x80", "Travel_002"));
  EXPECT_EQ(check(start + travel(3, "TVX_4i4o", "0x80")),
            invalid("NetSegmentId_0x80", "Travel_003"));
  EXPECT_EQ(check(start + travel(4, "TVX_4i4o", "0x100")),
            invalid("NetSegmentId_0x80", "Travel_004"));
  EXPECT_EQ(check(start + travel(5, std::string(256, 'T'), "0x05")),
            invalid("NetSegmentId_0x80", "Travel_005"));
  // The module of Travel_000 made before the error stays until the table is freed.
  EXPECT_EQ(bridge.pr_TopologicFlags(0x80, 0x01), THCNet_Topologic::kOriginDefault | kDeclared);
}

TEST_F(TopologicFileTest, UnusedKeysAreSkippedWithoutLookingAtTheDevice) {
  EXPECT_EQ(check(header() + "[NetSegmentId_0x80]\r\n" + travel(0, "Nonsense", "0xFF") +
                  travel(1, "TVX_4i4o", "0x0ff") + "[NetSegmentId_0x81]\r\n" +
                  travel(0, "Nonsense", "0x01") + "[NetSegmentId_0x10]\r\nTravel_000=\r\n"),
            "");
  EXPECT_TRUE(bridge.pr_Components().empty());
}

TEST_F(TopologicFileTest, UnknownDeviceIsNamed) {
  EXPECT_EQ(check(header() + "[NetSegmentId_0x80]\r\n" + travel(7, "TVX_8i8o", "0x01")),
            "\nErr: Unknown Device() in the topologic ini file !!!\nComponentName = VODed1\n" +
                fileNameLine() +
                "IniSection = NetSegmentId_0x80\nIniKey = Travel_007\nDevice = TVX_8i8o\n");
}

TEST_F(TopologicFileTest, ComponentOfAnotherKindAtADeclaredAddress) {
  OtherNode other(nullptr, 0x80, 0x03, &bridge);
  EXPECT_EQ(check(header() + "[NetSegmentId_0x80]\r\n" + travel(0, "tvx_4i4o", "0x03")),
            "\nErr: Current Topologic is not conform to topologic ini file !!!\nComponentName = "
            "VODed1\n" +
                fileNameLine() +
                "IniSection = NetSegmentId_0x80\nIniKey = Travel_000\nDevice = "
                "tvx_4i4o\n");
}

TEST_F(TopologicFileTest, DeclaredModuleWithoutTemplate) {
  bridge.pw_DefHandler_Tvx4i4o(nullptr);
  EXPECT_EQ(check(header() + "[NetSegmentId_0x80]\r\n" + travel(0, "TVX_4i4o", "0x0a")),
            "\nErr: 發現一個於拓墣 INI 檔內有宣告使用的元件,但卻又找不到\n該元件存在的情形,同時也"
            "找不到該類型元件的 DefHandler !!!\nComponentName = VODed1\n" +
                fileNameLine() + "HcnSegId = 0x80\nHcnNodeId = 0x0A\n");
}

TEST_F(TopologicFileTest, FactoryThatDoesNotAddItsModule) {
  ForgetfulBridge forgetful(nullptr);
  EXPECT_EQ(check(header() + "[NetSegmentId_0x80]\r\n" + travel(0, "TVX_4i4o", "0x01"), &forgetful),
            "\nErr: CreateDefaultHcnComponentAndAddToHcnTopologic() !!!\n");
}

TEST_F(TopologicFileTest, PlacedModuleThatTheFileDoesNotDeclare) {
  TTvx4i4o declared(nullptr, 0x80, 0x01, &bridge);
  TTvx4i4o undeclared(nullptr, 0x80, 0x02, &bridge);
  TTvx4i4o alsoUndeclared(nullptr, 0x80, 0x7F, &bridge);
  const std::string text = header() + "[NetSegmentId_0x80]\r\n" + travel(0, "TVX_4i4o", "0x01");
  EXPECT_EQ(check(text),
            "\nErr: 發現一個於拓墣 INI 檔內並沒有宣告使用的元件\n但該元件不但已經存在,而且也已掛入"
            "了拓墣結構內 !!!\nComponentName = VODed1\n" +
                fileNameLine() + "HcnSegId = 0x80\nHcnNodeId = 0x02\n");
  EXPECT_EQ(bridge.pr_TopologicFlags(0x80, 0x01), THCNet_Topologic::kOriginConstructor | kDeclared);

  // Marks of an earlier check do not count: the next file declares 0x02 and 0x7F only.
  EXPECT_EQ(check(header() + "[NetSegmentId_0x80]\r\n" + travel(0, "TVX_4i4o", "0x02") +
                  travel(1, "TVX_4i4o", "0x7F")),
            "\nErr: 發現一個於拓墣 INI 檔內並沒有宣告使用的元件\n但該元件不但已經存在,而且也已掛入"
            "了拓墣結構內 !!!\nComponentName = VODed1\n" +
                fileNameLine() + "HcnSegId = 0x80\nHcnNodeId = 0x01\n");
}

TEST_F(TopologicFileTest, UnnamedComponentGivesEmptyNames) {
  RecordingBridge unnamed(nullptr);
  unnamed.pw_FileName("");
  try {
    unnamed.LoadAndChkTopologicIniAndAssignDefaultHcnComponentToHcnTopologic();
    FAIL();
  } catch (const EYGeneral& error) {
    EXPECT_EQ(error.Message(),
              "\nErr: The FileName property is not defined !!!\nComponentName = \n");
  }
}
