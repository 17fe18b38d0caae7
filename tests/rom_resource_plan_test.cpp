#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "project/host.h"
#include "project/startup.h"
#include "rom/resource_list.h"
#include "rom/resource_plan.h"
#include "support/golden_project.h"
#include "util/ini_file.h"

namespace tvx {
namespace {

using YVclUtil::TYIniAccess;
using YVclUtil::TYIniFile;

class ResourcePlanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::FillGoldenHome(home);
    state.ProgramDir = home.dir();
    StartUp(state, project, host);
    test::DesignGoldenProject(project, home.dir());
  }

  test::TestHome home;
  ScriptedHost host;
  ProgramState state;
  Project project;
};

TEST_F(ResourcePlanTest, TheListHoldsExactlyThePlannedSlotsAndEachSlotNamesItsEntry) {
  const ResourcePlan plan = PlanResources(project, state);
  const std::string listPath = home.dir() + "tempt880.glp";
  Project written = project;
  ASSERT_TRUE(WriteResourceList(listPath, "Temp.glb", written, state, BuildReporter(0)).ok());
  const TYIniFile list(listPath, nullptr, TYIniAccess::ReadOnly);
  std::size_t keys = 0;
  for (int bank = 0; bank < kBankCount; ++bank) {
    keys += list.KeyNames(ResourceListSection(bank)).size();
  }
  EXPECT_EQ(keys, plan.allSlots().size());
  for (const PlannedSlot* slot : plan.allSlots()) {
    EXPECT_EQ(list.ReadString(ResourceListSection(slot->bank), ResourceListKey(slot->slot), "?"),
              slot->value)
        << slot->bank << "-" << slot->slot;
  }

  const auto entry = [&plan](int bank, int slot) {
    const PlannedSlot* planned = plan.find(bank, slot);
    return planned != nullptr ? planned->source : ProjectEntry{"none", "none"};
  };
  EXPECT_EQ(entry(0, 196), (ProjectEntry{"LiftStateImage", "LiftState_0_A"}));
  EXPECT_EQ(entry(0, 225), (ProjectEntry{"LiftStateImage", "LiftState_9_D"}));
  EXPECT_EQ(entry(0, 31), (ProjectEntry{"DateTimeImage", "Month_1"}));
  EXPECT_EQ(entry(0, 97), (ProjectEntry{"MainOption", "STANDBYLOGOBMP"}));
  EXPECT_EQ(entry(0, 98), (ProjectEntry{"Option", "OEM"}));
  EXPECT_EQ(entry(0, 130), (ProjectEntry{"MainOption", "DIRS2_DIR"}));
  EXPECT_EQ(entry(1, 'B'), (ProjectEntry{"MainOption", "FLS1_DIR"}));
  EXPECT_EQ(entry(6, 4), (ProjectEntry{"FloorTable", "0x04"}));
  EXPECT_EQ(entry(7, 2), (ProjectEntry{"UserBkGndImage", "UserBkGnd_Image2"}));
  EXPECT_EQ(entry(7, 129), (ProjectEntry{"UserBkGndImage2", "UserBkGnd_Image1"}));
  EXPECT_EQ(plan.find(0, 98)->librarySlot, 117);
  EXPECT_EQ(plan.find(0, 236)->column, 1);

  // What the writer did to the project is what the plan said it would.
  EXPECT_EQ(plan.floorCodes.clearedCodes, std::vector<int>{5});
  EXPECT_EQ(plan.clearedVerticalRows, std::vector<int>{1});
  EXPECT_TRUE(written.FloorTable[5].empty());
  EXPECT_TRUE(written.UserBkGndImage[1].empty());
  EXPECT_EQ(project.FloorTable[5], "ROOF") << "planning changes nothing";
  ASSERT_EQ(plan.floorCodes.warnings.size(), 3U);
  EXPECT_EQ(FloorCodeWarningLine(plan.floorCodes.warnings[0]),
            "[Warning] CTBL-0x05=ROOF not found --> auto cancel !!!");
}

TEST_F(ResourcePlanTest, MissingArrowsAndFloorCharactersAreNamedAllTheSame) {
  project.DIR_STYLE = 3;  // Style2 has no arrows
  project.FloorTable[6] = "7F";
  const ResourcePlan plan = PlanResources(project, state);
  ASSERT_EQ(plan.arrows.size(), 4U);
  EXPECT_EQ(plan.missingArrow, plan.arrows[0].value);
  EXPECT_EQ(plan.arrows[3].value, ArrowPicturePath(project, home.dir(), "DN1"));
  ASSERT_EQ(plan.missingFloorCharacters.size(), 1U);
  EXPECT_EQ(plan.missingFloorCharacters[0].slot, 'F');
  EXPECT_EQ(plan.missingFloorCharacters[0].value,
            home.dir() + "DefaultImageR1/UserDefine/Floor/Style0/0x46.bmp");
  EXPECT_EQ(plan.find(1, 'F'), nullptr);
  EXPECT_NE(plan.find(1, '7'), nullptr);
}

}  // namespace
}  // namespace tvx
