#pragma once

#include <string>
#include <vector>

#include "check/check_report.h"
#include "check/words.h"
#include "project/program_state.h"
#include "rom/resource_plan.h"
#include "rom/rom_layout.h"

// What a finished build put into the ROM image, and which of the slots it meant to fill stayed
// empty and why: the build log's last line before the upload.
namespace tvx {

struct EmptySlot {
  RomSlot slot;
  Words role;
  Words reason;  // short: "file missing", "refused by its converter", ...
};

struct BuildSummary {
  int stored = 0;  // resources in the image
  std::vector<EmptySlot> empty;
};

// The planned slots (floor characters in use without a picture included) that the image does
// not hold, each with the reason the pre-flight check gave for it, or the build's own.
BuildSummary SummariseBuild(const ResourcePlan& plan, const ResourceChecks& stored,
                            const CheckReport& report, const ProgramState& state);

// "Summary: 96 resources stored, 2 slots left empty (no picture chosen: 1, file missing: 1)",
// in the language LANG picks.
std::string BuildSummaryLine(const BuildSummary& summary, unsigned lang);

}  // namespace tvx
