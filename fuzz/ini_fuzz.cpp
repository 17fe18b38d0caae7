// The settings store's reader on arbitrary file contents: load, look at everything, release.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "util/diagnostic_sink.h"
#include "util/ini_file.h"

namespace {

// One file for the whole run, rewritten for every input; in memory where the system offers it,
// as rewriting a file on a disk file system flushes it to the disk at every close.
const std::string& scratchFile() {
  static const std::string path = [] {
    std::string pattern = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                          "/tvx880-ini-fuzz-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
      std::abort();
    }
    close(fd);
    return pattern;
  }();
  return path;
}

void writeScratch(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(scratchFile().c_str(), "wb");
  if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
    std::abort();
  }
}

void check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static YVclUtil::RecordingDiagnosticSink sink;
  static YVclUtil::ScopedDiagnosticSink guard(sink);
  writeScratch(data, size);
  {
    YVclUtil::TYIniFile ini(scratchFile());
    check(!ini.pr_Modified());
    std::size_t keyCount = 0;
    for (const std::string& section : ini.SectionNames()) {
      check(!section.empty() && section.size() <= 256 && ini.SectionExists(section));
      for (const std::string& key : ini.KeyNames(section)) {
        check(!key.empty() && key.size() <= 256 && ini.KeyExists(section, key));
        // Every loaded key has a value without line ends, shorter than a piece of a line.
        std::string value;
        check(ini.IsValueExisted(section, key, value));
        check(!value.empty() && value.size() < 8191 && value.find('\n') == std::string::npos);
        ini.ReadBool(section, key, false);
        ini.ReadUnsigned(section, key, 0);
        ini.ReadFloat(section, key, 0.0);
        ++keyCount;
      }
    }
    const std::string text = ini.ToText();
    check(text.size() <= size + 4 * keyCount + 4 * ini.SectionNames().size() + 8);
    check(!ini.pr_Modified());
  }
  sink.clear();
  return 0;
}
