#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/console_text.h"
#include "rom/rom_floor_readback.h"
#include "rom/rom_readback.h"
#include "rom/rom_readback_format.h"
#include "rom/rom_sheet.h"
#include "rom/rom_sheet_png.h"
#include "rom/rom_sheet_raster.h"
#include "util/error_text.h"
#include "util/file_bytes.h"

namespace tvx::cli {

namespace {

constexpr BilingualText kCanNotRead{"無法讀取 \"%s\"", "can not read \"%s\""};
constexpr BilingualText kNeitherRomNorGlb{"\"%s\" 既非 ROM 映像檔亦非 GLB",
                                          "\"%s\" is neither a ROM image nor a GLB"};
constexpr BilingualText kFailsChecks{"\"%s\" 未通過檢查", "\"%s\" fails its checks"};
constexpr BilingualText kNoFloorTable{"\"%s\" 不是 ROM 映像檔: 沒有樓層代碼表",
                                      "\"%s\" is no ROM image: it holds no floor code table"};
constexpr BilingualText kCannotDrawSheet{"無法繪製 \"%s\" 的資源總覽",
                                         "cannot draw the sheet of \"%s\""};

struct InspectOptions {
  std::optional<std::string> lang;
  std::string file;
  bool json = false;
  bool floors = false;
  std::optional<std::string> sheet;
};

// The floor codes of a ROM image when asked for, else the whole file.
std::string report(const InspectOptions& options, std::span<const std::uint8_t> bytes,
                   const RomInspection& inspection) {
  if (!options.floors || inspection.kind != RomFileKind::kRomImage) {
    return options.json ? RomInspectionJson(inspection) : FormatRomInspection(inspection);
  }
  const FloorReadback floors = ReadFloorUse(bytes, inspection.resources);
  return options.json ? FloorReadbackJson(floors, inspection)
                      : FormatFloorReadback(floors, inspection);
}

Result<void> writeSheet(const std::string& file, std::span<const std::uint8_t> bytes,
                        const RomInspection& inspection, const std::string& png) {
  Result<RomSheet> sheet = MakeRomSheet(bytes, inspection, file);
  if (!sheet) {
    return std::move(sheet).error().withAction(kCannotDrawSheet);
  }
  return WriteSheetPng(DrawRomSheet(*sheet), png);
}

int runInspect(const InspectOptions& options) {
  SetReportLanguage(LanguageOption(options.lang));
  const Result<std::vector<std::uint8_t>> bytes = ReadFileBytes(options.file);
  if (!bytes) {
    return reportFailure(Error(bytes.error()).withAction(kCanNotRead));
  }
  const RomInspection inspection = InspectRomFile(*bytes);
  if (options.floors && inspection.kind != RomFileKind::kRomImage &&
      inspection.kind != RomFileKind::kUnknown) {
    return reportFailure(Error::Stated(options.file, kNoFloorTable));
  }
  Print(stdout, report(options, *bytes, inspection));
  if (inspection.kind == RomFileKind::kUnknown) {
    return reportFailure(Error::Stated(options.file, kNeitherRomNorGlb));
  }
  if (options.sheet) {
    if (Result<void> written = writeSheet(options.file, *bytes, inspection, *options.sheet);
        !written) {
      return reportFailure(written.error());
    }
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
      "pattern check out, every slot a build always fills is filled and every floor code in use "
      "finds its pictures. Exit status 1 when a check fails");
  inspectCommand->add_option("FILE", inspect->file, "ROM image (.BIN) or GLB (.GLB)")->required();
  inspectCommand->add_flag("--json", inspect->json, "print JSON");
  inspectCommand->add_flag("--floors", inspect->floors,
                           "show the floor codes in use instead: what each shows and whether the "
                           "image holds the characters, picture and background it needs");
  inspectCommand->add_option("--sheet", inspect->sheet,
                             "also draw every resource into this PNG, labelled with bank, slot, "
                             "role and size; empty slots a build always fills are marked");
  addLanguageOption(*inspectCommand, inspect->lang);
  runner.bind(inspectCommand, [inspect] { return runInspect(*inspect); });
}

}  // namespace tvx::cli
