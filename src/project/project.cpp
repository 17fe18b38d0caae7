#include "project/project.h"

#include <cstdio>

namespace tvx {

std::string FloorCodeName(int code) {
  char name[8];
  std::snprintf(name, sizeof name, "0x%02X", static_cast<unsigned>(code) & 0xFFu);
  return name;
}

bool SameDesign(const Project& a, const Project& b) {
  if (a.ProjectPath == b.ProjectPath && a.FloorStyleDir == b.FloorStyleDir) {
    return a == b;
  }
  Project aligned = b;
  aligned.ProjectPath = a.ProjectPath;
  aligned.FloorStyleDir = a.FloorStyleDir;
  return a == aligned;
}

bool IsArrangement(int layoutCode) {
  return layoutCode == kLayoutArrangement1 || layoutCode == kLayoutArrangement2 ||
         layoutCode == kLayoutArrangement3 || layoutCode == kLayoutArrangement4;
}

bool SelectLayout(Project& project, int layoutCode) {
  if (!IsArrangement(layoutCode)) {
    return false;
  }
  project.Layout = layoutCode;
  const bool vertical = layoutCode == kLayoutArrangement2 || layoutCode == kLayoutArrangement4;
  project.DISPTYPE_HV = vertical ? 1 : 0;
  if (vertical) {
    project.LayoutVariant = 0;
  }
  return true;
}

}  // namespace tvx
