#include "project/known_project_keys.h"

#include <set>
#include <utility>

#include "project/project_fields.h"
#include "project/project_keys.h"

namespace tvx {

namespace {

using namespace project_key;
using KeySet = std::set<std::pair<std::string, std::string>>;

void addHeadAndMode(KeySet& keys) {
  for (const auto& [key, value] : kHeadEntries) {
    keys.emplace(kHead, key);
  }
  for (const char* key : kModeKeys) {
    keys.emplace(kMode, key);
  }
}

void addLists(KeySet& keys) {
  for (int slot = 0; slot < kBackgroundSlotCount; ++slot) {
    keys.emplace(kVerticalBackgrounds, BackgroundKey(slot));
    keys.emplace(kHorizontalBackgrounds, BackgroundKey(slot));
  }
  for (int code = 0; code < kFloorCodeCount; ++code) {
    keys.emplace(kFloorTable, FloorCodeName(code));
    keys.emplace(kFloorBkgImage, FloorCodeName(code));
  }
  for (int row = 0; row < kLiftStateRowCount; ++row) {
    keys.emplace(kLiftMsgIdx, MessageInputKey(row));
    for (int column = 0; column < kLiftStateColumnCount; ++column) {
      keys.emplace(kLiftStateImage, LiftStateKey(kLiftStatePrefix, row, column));
      keys.emplace(kLiftStateImage, LiftStateKey(kOldLiftStatePrefix, row, column));
    }
  }
  for (int month = 0; month < kMonthImageCount; ++month) {
    keys.emplace(kDateTimeImage, MonthKey(month));
  }
  for (int day = 0; day < kWeekImageCount; ++day) {
    keys.emplace(kDateTimeImage, WeekKey(day));
  }
}

KeySet knownKeys() {
  KeySet keys;
  addHeadAndMode(keys);
  for (const ProjectField& field : ProjectFields()) {
    keys.emplace(field.section, field.key);
  }
  addLists(keys);
  return keys;
}

}  // namespace

bool IsKnownProjectKey(const std::string& section, const std::string& key) {
  static const KeySet keys = knownKeys();
  return keys.count({section, key}) != 0;
}

}  // namespace tvx
