// The project loader on arbitrary bytes: loading must never crash, must leave every list choice
// inside its list, and a loaded project must save and load again.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "project/app_settings.h"
#include "project/choices.h"
#include "project/project_file.h"
#include "project/startup.h"
#include "project_fuzz_fixture.h"

namespace {

using tvx::fuzz::Check;

void checkChoices(const tvx::Project& p) {
  Check(p.FL_STYLE >= 1 && p.FL_STYLE <= tvx::kStyleSlotCount);
  Check(p.DIR_STYLE >= 1 && p.DIR_STYLE <= tvx::kStyleSlotCount);
  Check(p.DATE_STYLE >= 0 && p.DATE_STYLE < 3);
  Check(p.MSG_STYLE >= 0 && p.MSG_STYLE < 16);
  Check(p.USE_DATETIME == 0 || p.USE_DATETIME == 1);
  Check(p.AUTOSLIDESHOW >= 0 && p.AUTOSLIDESHOW < 3);
  Check(p.SLIDESHOWTIMEGAP >= 0 && p.SLIDESHOWTIMEGAP < tvx::kSlideshowIntervalCount);
  Check(p.STANDBYTIME >= 0 && p.STANDBYTIME < tvx::kStandbyTimeCount);
  Check(p.NODEADDR >= 0 && p.NODEADDR < tvx::kNodeAddressCount);
  Check(p.BACKLIGHTSAVE >= 0 && p.BACKLIGHTSAVE < 17);
  Check(p.LCDBLCTRLMODE >= 0 && p.LCDBLCTRLMODE < 3);
  Check(p.PS_MODE >= 0 && p.PS_MODE < 4);
  for (int lamp : {p.HLAMP1, p.HLAMP2, p.HLAMP3}) {
    Check(lamp >= 0 && lamp < 11);
  }
  for (int input : p.LiftMsgIdx) {
    Check(input >= 0 && input < 8);
  }
  Check((p.Layout & 0x0F) == 0);
  Check(!p.DateTimeLanguage.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static tvx::fuzz::ProjectFuzzFixture fixture("project");
  const std::string input = fixture.file("input.ql3");
  const std::string output = fixture.file("output.ql3");
  if (size == 0) {
    return 0;
  }
  // The first byte picks the protocol, so that both kinds of message inputs are covered.
  const char* protocols[] = {"STEP", "KWXPS", "CCI"};
  tvx::ProgramState state;
  state.ProgramDir = fixture.home();
  tvx::ApplyProtocol(protocols[data[0] % 3], state);
  {
    std::ofstream file(input, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
  }
  tvx::Project project;
  fixture.host.clear();
  if (tvx::LoadProject(input, project, state, fixture.host)) {
    checkChoices(project);
    std::filesystem::remove(output);
    Check(tvx::SaveProject(output, project, state, fixture.host));
    tvx::Project reloaded;
    Check(tvx::LoadProject(output, reloaded, state, fixture.host));
    checkChoices(reloaded);
    Check(reloaded.FloorTable == project.FloorTable);
    Check(reloaded.FL_COLOR == project.FL_COLOR && reloaded.NODEADDR == project.NODEADDR);
  }
  return 0;
}
