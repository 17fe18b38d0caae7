#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "check/check_project.h"
#include "check/check_report.h"
#include "rom/resource_plan.h"

// What every part of the check reads, and where it puts what it finds.
namespace tvx {

struct CheckContext {
  const Project& project;
  const ProgramState& state;
  const ResourcePlan& plan;
  const CheckOptions& options;
  std::vector<Finding> findings;
  // What each filled slot takes in the GLB, in plan order.
  std::vector<ResourceSize> sizes;

  // Notes only when asked for.
  void add(Finding finding) {
    if (finding.severity != Severity::kNote || options.verbose) {
      findings.push_back(std::move(finding));
    }
  }
  // A text from the user's files as the words quote it.
  std::string quoted(std::string_view text) const {
    return options.userTextToUtf8 ? options.userTextToUtf8(text) : std::string(text);
  }
};

// The parts of the check, each adding its findings.
void CheckPictures(CheckContext& context);
void CheckFloorTexts(CheckContext& context);
void CheckBackgroundNumbers(CheckContext& context);
void CheckLibrary(CheckContext& context);
MemoryEstimate CheckMemory(CheckContext& context);

}  // namespace tvx
