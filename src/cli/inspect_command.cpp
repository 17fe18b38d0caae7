#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "rom/rom_readback.h"
#include "rom/rom_readback_format.h"
#include "util/error_text.h"
#include "util/file_bytes.h"

namespace tvx::cli {

namespace {

constexpr BilingualText kCanNotRead{"無法讀取 \"%s\"", "can not read \"%s\""};
constexpr BilingualText kNeitherRomNorGlb{"\"%s\" 既非 ROM 映像檔亦非 GLB",
                                          "\"%s\" is neither a ROM image nor a GLB"};
constexpr BilingualText kFailsChecks{"\"%s\" 未通過檢查", "\"%s\" fails its checks"};

struct InspectOptions {
  std::string file;
  bool json = false;
};

int runInspect(const InspectOptions& options) {
  const Result<std::vector<std::uint8_t>> bytes = ReadFileBytes(options.file);
  if (!bytes) {
    return reportFailure(Error(bytes.error()).withAction(kCanNotRead));
  }
  const RomInspection inspection = InspectRomFile(*bytes);
  const std::string report =
      options.json ? RomInspectionJson(inspection) : FormatRomInspection(inspection);
  std::fputs(report.c_str(), stdout);
  if (inspection.kind == RomFileKind::kUnknown) {
    return reportFailure(Error::Stated(options.file, kNeitherRomNorGlb));
  }
  if (!inspection.problems.empty()) {
    return reportFailure(Error::Stated(options.file, kFailsChecks));
  }
  return kExitOk;
}

}  // namespace

void registerInspectCommands(CLI::App& app, CommandRunner& runner) {
  auto inspect = std::make_shared<InspectOptions>();
  CLI::App* inspectCommand = app.add_subcommand(
      "inspect",
      "Show a ROM image (.BIN) or GLB: the directory with each resource's CRC, the configuration "
      "block field by field, the memory used and left, and whether the header CRC and the fill "
      "pattern check out. Exit status 1 when a check fails");
  inspectCommand->add_option("FILE", inspect->file, "ROM image (.BIN) or GLB (.GLB)")->required();
  inspectCommand->add_flag("--json", inspect->json, "print JSON");
  runner.bind(inspectCommand, [inspect] { return runInspect(*inspect); });
}

}  // namespace tvx::cli
