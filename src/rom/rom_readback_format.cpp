#include "rom/rom_readback_format.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>

#include "util/printf_format.h"
#include "util/rom_image_format.h"

namespace tvx {

namespace {

using YVclUtil::FormatPrintf;

constexpr std::size_t kValuesPerLine = 16;

bool shownInHex(const InspectedField& field) {
  return field.name.find("crc") != std::string::npos ||
         field.name.find("colour") != std::string::npos || field.name == "display_code_table";
}

std::string scalar(const InspectedField& field) {
  const std::uint32_t value = field.values.front();
  if (shownInHex(field)) {
    return FormatPrintf("%u (0x%0*X)", value, static_cast<int>(field.size * 2), value);
  }
  return std::to_string(value);
}

void appendList(std::string& out, const InspectedField& field) {
  const bool hex = shownInHex(field);
  for (std::size_t i = 0; i < field.values.size(); ++i) {
    if (i % kValuesPerLine == 0) {
      out += FormatPrintf("\n      0x%02zX:", i);
    }
    out += hex ? FormatPrintf(" %04X", field.values[i]) : FormatPrintf(" %3u", field.values[i]);
  }
}

std::string verdict(bool ok) {
  return ok ? "ok" : "WRONG";
}

std::string jsonString(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte >= 0x7F) {
      out += FormatPrintf("\\u%04x", byte);
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string jsonNumbers(const std::vector<std::uint32_t>& values) {
  std::string out = "[";
  for (std::size_t i = 0; i < values.size(); ++i) {
    out += (i == 0 ? "" : ", ") + std::to_string(values[i]);
  }
  return out + "]";
}

const char* jsonBool(bool value) {
  return value ? "true" : "false";
}

void appendProblems(std::string& out, const std::vector<std::string>& problems) {
  out += problems.empty() ? "\nAll checks hold.\n" : "\nProblems:\n";
  for (const std::string& problem : problems) {
    out += "  " + problem + "\n";
  }
}

std::string jsonProblems(const std::vector<std::string>& problems) {
  std::string out = "[";
  for (std::size_t i = 0; i < problems.size(); ++i) {
    out += (i == 0 ? "" : ", ") + jsonString(problems[i]);
  }
  return out + "]";
}

std::string screenName(bool horizontal) {
  return horizontal ? "horizontal (320 x 240)" : "vertical (240 x 320)";
}

std::string floorShows(const FloorUse& floor) {
  return floor.shows == FloorShows::kPicture ? "picture" : "\"" + floor.text + "\"";
}

// Upper case when the floor lacks it, to stand out among the present ones.
std::string needState(const FloorNeed& need) {
  std::string name = ResourceStateName(need.state);
  if (need.state != ResourceState::kPresent) {
    for (char& c : name) {
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  return name;
}

std::string floorBackground(const FloorUse& floor) {
  if (!floor.background) {
    return "";
  }
  const std::string number = "  background " + std::to_string(*floor.background);
  return BackgroundSlot(*floor.background) ? number : number + " (none: a screen has 128)";
}

}  // namespace

std::string FormatRomInspection(const RomInspection& in) {
  std::string out;
  out += FormatPrintf("Kind: %s, %llu bytes\n", RomFileKindName(in.kind),
                      static_cast<unsigned long long>(in.fileSize));
  out += "Signature: " + in.signature + "\n";
  if (in.kind == RomFileKind::kUnknown) {
    out += "Problems:\n";
    for (const std::string& problem : in.problems) {
      out += "  " + problem + "\n";
    }
    return out;
  }
  out += FormatPrintf("GLB size: %llu bytes\n", static_cast<unsigned long long>(in.glbSize));
  if (in.kind == RomFileKind::kRomImage) {
    out += FormatPrintf("Memory: %s, used %llu bytes, left %llu bytes\n",
                        in.capacity == kRomImageSize64 ? "64Mb" : "32Mb",
                        static_cast<unsigned long long>(in.memoryUsed),
                        static_cast<unsigned long long>(in.memoryLeft));
    out += FormatPrintf("Header CRC: stored 0x%02X, computed 0x%02X: %s\n", in.headerCrcStored,
                        in.headerCrcComputed,
                        verdict(in.headerCrcStored == in.headerCrcComputed).c_str());
    out += "Fill pattern: " + verdict(in.fillOk) + "\n";
    out += "Protocol resource CRC and size: " + verdict(in.protocolChecksOk) + "\n";
    out += "Configuration block signature: " + verdict(in.configSignatureOk) + "\n";
    out += FormatPrintf("Reserved bytes not 0: %zu\n", in.reservedNonZero);
  }

  out += FormatPrintf("\nDirectory: %zu resources\n", in.resources.size());
  out += "  bank slot    offset      size  crc\n";
  for (const InspectedResource& r : in.resources) {
    out += FormatPrintf("  %4d %4d %9u %9u  ", r.bank, r.slot, r.offset, r.size);
    out += r.inside ? FormatPrintf("0x%02X\n", r.crc) : std::string("beyond the end\n");
  }

  if (in.kind == RomFileKind::kRomImage) {
    out += FormatPrintf("\nConfiguration block at offset %llu:\n",
                        static_cast<unsigned long long>(in.capacity - 4096));
    for (const InspectedField& field : in.fields) {
      const std::string head = FormatPrintf("  %-26s @%-5zu", field.name.c_str(), field.offset);
      if (!field.text.empty()) {
        out += head + field.text;
      } else if (field.list) {
        out += head.substr(0, head.find_last_not_of(' ') + 1);
        appendList(out, field);
      } else {
        out += head + scalar(field);
      }
      out += "\n";
    }
  }

  appendProblems(out, in.problems);
  return out;
}

std::string RomInspectionJson(const RomInspection& in) {
  std::string out = "{\n";
  out += "  \"kind\": " + jsonString(RomFileKindName(in.kind)) + ",\n";
  out += FormatPrintf("  \"file_size\": %llu,\n", static_cast<unsigned long long>(in.fileSize));
  out += "  \"signature\": " + jsonString(in.signature) + ",\n";
  out += FormatPrintf("  \"glb_size\": %llu,\n", static_cast<unsigned long long>(in.glbSize));
  out += "  \"resources\": [";
  for (std::size_t i = 0; i < in.resources.size(); ++i) {
    const InspectedResource& r = in.resources[i];
    out += FormatPrintf(
        "%s\n    {\"bank\": %d, \"slot\": %d, \"offset\": %u, \"size\": %u, \"inside\": %s",
        i == 0 ? "" : ",", r.bank, r.slot, r.offset, r.size, jsonBool(r.inside));
    out += r.inside ? FormatPrintf(", \"crc\": %u}", r.crc) : std::string("}");
  }
  out += in.resources.empty() ? "],\n" : "\n  ],\n";
  if (in.kind == RomFileKind::kRomImage) {
    out += FormatPrintf("  \"capacity\": %llu,\n", static_cast<unsigned long long>(in.capacity));
    out +=
        FormatPrintf("  \"memory_used\": %llu,\n", static_cast<unsigned long long>(in.memoryUsed));
    out +=
        FormatPrintf("  \"memory_left\": %llu,\n", static_cast<unsigned long long>(in.memoryLeft));
    out += FormatPrintf("  \"header_crc\": {\"stored\": %u, \"computed\": %u, \"ok\": %s},\n",
                        in.headerCrcStored, in.headerCrcComputed,
                        jsonBool(in.headerCrcStored == in.headerCrcComputed));
    out += FormatPrintf("  \"fill_ok\": %s,\n", jsonBool(in.fillOk));
    out += FormatPrintf("  \"protocol_checks_ok\": %s,\n", jsonBool(in.protocolChecksOk));
    out += FormatPrintf("  \"config_signature_ok\": %s,\n", jsonBool(in.configSignatureOk));
    out += FormatPrintf("  \"reserved_non_zero\": %zu,\n", in.reservedNonZero);
    out += "  \"config\": {";
    for (std::size_t i = 0; i < in.fields.size(); ++i) {
      const InspectedField& field = in.fields[i];
      out += (i == 0 ? "\n    " : ",\n    ") + jsonString(field.name) + ": ";
      if (!field.text.empty()) {
        out += jsonString(field.text);
      } else if (field.list) {
        out += jsonNumbers(field.values);
      } else {
        out += std::to_string(field.values.front());
      }
    }
    out += "\n  },\n";
  }
  out += "  \"problems\": " + jsonProblems(in.problems) + "\n}\n";
  return out;
}

std::string FormatFloorReadback(const FloorReadback& floors, const RomInspection& inspection) {
  std::string out = "Screen: " + screenName(floors.horizontal) +
                    "; backgrounds: " + BackgroundUseName(floors.backgrounds) + "\n";
  out += FormatPrintf("Floor codes in use: %zu\n\n", floors.floors.size());
  for (const FloorUse& floor : floors.floors) {
    out += FormatPrintf("0x%02X  display 0x%04X  ", floor.code, floor.displayCode) +
           floorShows(floor) + floorBackground(floor) + "\n";
    for (const FloorNeed& need : floor.needs) {
      out += FormatPrintf("      bank %d slot %3d  %-30s %s\n", need.bank, need.slot,
                          need.role.c_str(), needState(need).c_str());
    }
  }
  appendProblems(out, inspection.problems);
  return out;
}

std::string FloorReadbackJson(const FloorReadback& floors, const RomInspection& inspection) {
  std::string out = "{\n";
  out += FormatPrintf("  \"screen\": \"%s\",\n", floors.horizontal ? "horizontal" : "vertical");
  out += "  \"backgrounds\": " + jsonString(BackgroundUseName(floors.backgrounds)) + ",\n";
  out += "  \"floors\": [";
  for (std::size_t i = 0; i < floors.floors.size(); ++i) {
    const FloorUse& floor = floors.floors[i];
    out += FormatPrintf("%s\n    {\"code\": %d, \"display_code\": %u, ", i == 0 ? "" : ",",
                        floor.code, floor.displayCode);
    out += floor.shows == FloorShows::kPicture
               ? std::string("\"picture\": true")
               : "\"picture\": false, \"characters\": " + jsonString(floor.text);
    if (floor.background) {
      out += FormatPrintf(", \"background\": %d", *floor.background);
    }
    out += ", \"needs\": [";
    for (std::size_t j = 0; j < floor.needs.size(); ++j) {
      const FloorNeed& need = floor.needs[j];
      out += FormatPrintf("%s{\"bank\": %d, \"slot\": %d, \"role\": ", j == 0 ? "" : ", ",
                          need.bank, need.slot) +
             jsonString(need.role) + ", \"state\": " + jsonString(ResourceStateName(need.state)) +
             "}";
    }
    out += "]}";
  }
  out += floors.floors.empty() ? "],\n" : "\n  ],\n";
  out += "  \"problems\": " + jsonProblems(inspection.problems) + "\n}\n";
  return out;
}

}  // namespace tvx
