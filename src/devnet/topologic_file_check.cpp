#include <cctype>
#include <filesystem>
#include <memory>

#include "devnet/hcnet_topologic.h"
#include "devnet/topologic_travel.h"
#include "util/ey_general.h"
#include "util/ini_file.h"
#include "util/printf_format.h"

namespace KwxCtrl {
namespace {

using YVclUtil::EYGeneral;
using YVclUtil::FormatPrintf;

constexpr const char kHeadSection[] = "HcnTopologic.Head";
constexpr const char kSignatureKey[] = "Signature";
constexpr const char kSignature[] = "KWX";
constexpr int kLastTravelKey = 256;

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

bool fileExists(const std::string& name) {
  std::error_code error;
  return std::filesystem::is_regular_file(name, error);
}

}  // namespace

void THCNet_Topologic::LoadAndChkTopologicIniAndAssignDefaultHcnComponentToHcnTopologic() {
  const char* component = pr_Name().c_str();
  const char* file = m_fileName.c_str();
  if (m_fileName.empty()) {
    throw EYGeneral("\nErr: The FileName property is not defined !!!\nComponentName = %s\n",
                    component);
  }
  if (!fileExists(m_fileName)) {
    throw EYGeneral(
        "\nErr: The topologic ini file is not exist !!!\nComponentName = %s\nFileName = %s\n",
        component, file);
  }
  for (auto& slot : m_segments) {
    if (slot) {
      for (Entry& entry : *slot) {
        entry.Flags &= ~kDeclaredByFile;
      }
    }
  }

  {
    // Released (never written: nothing is changed) before any error leaves this block.
    const auto ini =
        std::make_unique<YVclUtil::TYIniFile>(m_fileName, nullptr, YVclUtil::TYIniAccess::ReadOnly);
    const std::string lastSegment = FormatPrintf("NetSegmentId_0x%02X", kHcnMaxSegId);
    if (!equalsIgnoringCase(ini->ReadString(kHeadSection, kSignatureKey, ""), kSignature) ||
        !ini->SectionExists(lastSegment)) {
      throw EYGeneral(
          "\nErr: Invalid header in the topologic ini file !!!\nComponentName = %s\nFileName = "
          "%s\n",
          component, file);
    }

    for (unsigned segId = 0; segId <= kHcnMaxSegId; ++segId) {
      const std::string section = FormatPrintf("NetSegmentId_0x%02X", segId);
      if (!ini->SectionExists(section)) {
        continue;
      }
      for (int keyNumber = 0; keyNumber <= kLastTravelKey; ++keyNumber) {
        const std::string key = FormatPrintf("Travel_%03d", keyNumber);
        const std::string value = ini->ReadString(section, key, "");
        if (value.empty()) {
          continue;
        }
        const auto declaration = ParseTravelValue(value);
        if (!declaration || (declaration->NetNodeId > kHcnMaxNodeId &&
                             declaration->NetNodeId != kTravelUnusedNodeId)) {
          throw EYGeneral(
              "\nErr: Invalid syntax in the topologic ini file !!!\nComponentName = %s\nFileName "
              "= %s\nIniSection = %s\nIniKey = %s\n",
              component, file, section.c_str(), key.c_str());
        }
        if (declaration->NetNodeId == kTravelUnusedNodeId) {
          continue;
        }
        const unsigned nodeId = declaration->NetNodeId;
        nodeTableOf(segId);
        if (!equalsIgnoringCase(declaration->Device, "TVX_4i4o")) {
          throw EYGeneral(
              "\nErr: Unknown Device() in the topologic ini file !!!\nComponentName = %s\nFileName "
              "= %s\nIniSection = %s\nIniKey = %s\nDevice = %s\n",
              component, file, section.c_str(), key.c_str(), declaration->Device.c_str());
        }
        Entry* entry = findEntry(segId, nodeId);
        if (entry->Component != nullptr) {
          if (entry->ClsId != hci_Tvx4i4o) {
            throw EYGeneral(
                "\nErr: Current Topologic is not conform to topologic ini file !!!\nComponentName "
                "= %s\nFileName = %s\nIniSection = %s\nIniKey = %s\nDevice = %s\n",
                component, file, section.c_str(), key.c_str(), declaration->Device.c_str());
          }
          entry->Flags |= kDeclaredByFile;
          continue;
        }
        THCNet* created = CreateDefaultHcnComponentAndAddToHcnTopologic(
            hci_Tvx4i4o, static_cast<std::uint8_t>(segId), static_cast<std::uint8_t>(nodeId), this);
        if (created == nullptr) {
          throw EYGeneral(
              "\nErr: 發現一個於拓墣 INI 檔內有宣告使用的元件,但卻又找不到\n該元件存在的情形,同時也"
              "找不到該類型元件的 DefHandler !!!\nComponentName = %s\nFileName = %s\nHcnSegId = "
              "0x%02X\nHcnNodeId = 0x%02X\n",
              component, file, segId, nodeId);
        }
        entry->Flags = (entry->Flags & ~kOriginMask) | kOriginDefault | kDeclaredByFile;
        if (entry->Component != created) {
          throw EYGeneral("%s", "\nErr: CreateDefaultHcnComponentAndAddToHcnTopologic() !!!\n");
        }
      }
    }
  }

  for (unsigned segId = 0; segId <= kHcnMaxSegId; ++segId) {
    for (unsigned nodeId = 0; nodeId <= kHcnMaxNodeId; ++nodeId) {
      const Entry* entry = findEntry(segId, nodeId);
      if (entry != nullptr && entry->Component != nullptr &&
          (entry->Flags & kDeclaredByFile) == 0) {
        throw EYGeneral(
            "\nErr: 發現一個於拓墣 INI 檔內並沒有宣告使用的元件\n但該元件不但已經存在,而且也已掛入"
            "了拓墣結構內 !!!\nComponentName = %s\nFileName = %s\nHcnSegId = 0x%02X\nHcnNodeId = "
            "0x%02X\n",
            component, file, segId, nodeId);
      }
    }
  }
}

}  // namespace KwxCtrl
