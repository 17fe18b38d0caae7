#include <algorithm>

#include "check/check_context.h"
#include "check/check_texts.h"
#include "project/paths.h"
#include "rom/rom_image.h"
#include "rom/rom_layout.h"

// The memory budget: the GLB the build would assemble (header, directory and every resource at
// the size its converter makes), with the configuration block, against the indicator's memory.
namespace tvx {

namespace {

using namespace check_text;

std::vector<ResourceSize> largestOf(std::vector<ResourceSize> sizes) {
  std::stable_sort(sizes.begin(), sizes.end(),
                   [](const ResourceSize& a, const ResourceSize& b) { return a.bytes > b.bytes; });
  sizes.resize(std::min(sizes.size(), MemoryEstimate::kLargestCount));
  return sizes;
}

Words largestWords(const CheckContext& context, const std::vector<ResourceSize>& largest) {
  Words list;
  for (const ResourceSize& resource : largest) {
    // A picture by its file name too, which is what the technician looks for.
    const std::string name = "\"" + context.quoted(FileNameOf(resource.file)) + "\"";
    const Words role =
        resource.file.empty() ? resource.role : JoinWords(resource.role, {" ", " "}, {name, name});
    const Words item =
        FormatWordsWith(kLargestItem, role, static_cast<unsigned long long>(resource.bytes));
    list = list.empty() ? item : JoinWords(list, {", ", ", "}, item);
  }
  return list;
}

}  // namespace

MemoryEstimate CheckMemory(CheckContext& context) {
  const AppSettings& settings = context.state.settings;
  MemoryEstimate memory;
  std::uint64_t data = 0;
  for (const ResourceSize& resource : context.sizes) {
    data += resource.bytes;
  }
  memory.used = RomMemoryUsed(kGlbDataOffset + data);
  memory.capacity = settings.romImageSize();
  memory.largest = largestOf(context.sizes);

  const auto used = static_cast<unsigned long long>(memory.used);
  const auto capacity = static_cast<unsigned long long>(memory.capacity);
  Finding finding;
  finding.role = WordsOf(kRoleMemory);
  if (memory.fits()) {
    finding.severity = Severity::kNote;
    finding.kind = FindingKind::kMemoryUse;
    finding.problem = FormatWords(kMemoryUse, used, capacity, capacity - used);
  } else {
    finding.kind = FindingKind::kOutOfMemory;
    finding.problem =
        JoinWords(FormatWords(kOutOfMemory, used, settings.memory64() ? "64Mb" : "32Mb", capacity,
                              used - capacity),
                  {}, largestWords(context, memory.largest));
    finding.fix = WordsOf(settings.memory64() ? kFixMemory64 : kFixMemory);
  }
  context.add(std::move(finding));
  return memory;
}

}  // namespace tvx
