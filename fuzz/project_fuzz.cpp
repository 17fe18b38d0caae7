// The project loader on arbitrary bytes: loading must never crash, must leave every list choice
// inside its list, and a loaded project must save and load again.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "project/app_settings.h"
#include "project/choices.h"
#include "project/project_file.h"
#include "project/startup.h"
#include "util/diagnostic_sink.h"

namespace {

class SilentSink : public YVclUtil::DiagnosticSink {
 public:
  void showErrorBox(const std::string&, const std::string&) override {}
  void debugString(const std::string&) override {}
};

struct Fixture {
  Fixture() {
    YVclUtil::SetDiagnosticSink(&sink);
    // Memory-backed when possible: every accepted input is saved, and saving syncs the file.
    const std::filesystem::path shm = "/dev/shm";
    const std::filesystem::path base =
        std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
    folder = base / ("tvx880-project-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    input = (folder / "input.ql3").string();
    output = (folder / "output.ql3").string();
    state.ProgramDir = folder.string() + "/";
  }
  ~Fixture() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  SilentSink sink;
  std::filesystem::path folder;
  std::string input;
  std::string output;
  tvx::ProgramState state;
  tvx::ScriptedHost host;
};

void check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

void checkChoices(const tvx::Project& p) {
  check(p.FL_STYLE >= 1 && p.FL_STYLE <= tvx::kStyleSlotCount);
  check(p.DIR_STYLE >= 1 && p.DIR_STYLE <= tvx::kStyleSlotCount);
  check(p.DATE_STYLE >= 0 && p.DATE_STYLE < 3);
  check(p.MSG_STYLE >= 0 && p.MSG_STYLE < 16);
  check(p.USE_DATETIME == 0 || p.USE_DATETIME == 1);
  check(p.AUTOSLIDESHOW >= 0 && p.AUTOSLIDESHOW < 3);
  check(p.SLIDESHOWTIMEGAP >= 0 && p.SLIDESHOWTIMEGAP < tvx::kSlideshowIntervalCount);
  check(p.STANDBYTIME >= 0 && p.STANDBYTIME < tvx::kStandbyTimeCount);
  check(p.NODEADDR >= 0 && p.NODEADDR < tvx::kNodeAddressCount);
  check(p.BACKLIGHTSAVE >= 0 && p.BACKLIGHTSAVE < 17);
  check(p.LCDBLCTRLMODE >= 0 && p.LCDBLCTRLMODE < 3);
  check(p.PS_MODE >= 0 && p.PS_MODE < 4);
  for (int lamp : {p.HLAMP1, p.HLAMP2, p.HLAMP3}) {
    check(lamp >= 0 && lamp < 11);
  }
  for (int input : p.LiftMsgIdx) {
    check(input >= 0 && input < 8);
  }
  check((p.Layout & 0x0F) == 0);
  check(!p.DateTimeLanguage.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Fixture fixture;
  if (size == 0) {
    return 0;
  }
  // The first byte picks the protocol, so that both kinds of message inputs are covered.
  const char* protocols[] = {"STEP", "KWXPS", "CCI"};
  fixture.state = tvx::ProgramState{};
  fixture.state.ProgramDir = fixture.folder.string() + "/";
  tvx::ApplyProtocol(protocols[data[0] % 3], fixture.state);
  {
    std::ofstream file(fixture.input, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
  }
  tvx::Project project;
  fixture.host.clear();
  if (tvx::LoadProject(fixture.input, project, fixture.state, fixture.host)) {
    checkChoices(project);
    std::filesystem::remove(fixture.output);
    check(tvx::SaveProject(fixture.output, project, fixture.state, fixture.host));
    tvx::Project reloaded;
    check(tvx::LoadProject(fixture.output, reloaded, fixture.state, fixture.host));
    checkChoices(reloaded);
    check(reloaded.FloorTable == project.FloorTable);
    check(reloaded.FL_COLOR == project.FL_COLOR && reloaded.NODEADDR == project.NODEADDR);
  }
  return 0;
}
