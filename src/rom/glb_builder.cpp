#include "rom/glb_builder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "image/error_diffusion.h"
#include "image/image_error.h"
#include "image/little_endian.h"
#include "image/truncate_converter.h"
#include "project/paths.h"
#include "rom/build_texts.h"
#include "rom/picture_library.h"
#include "rom/resource_list.h"
#include "util/byte_buffer.h"
#include "util/crc8.h"
#include "util/file_bytes.h"
#include "util/ini_file.h"
#include "util/platform_exception.h"
#include "util/str_to_int.h"

namespace tvx {

namespace {

using YVclUtil::TYIniFile;

void removeFile(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

// Removes the temporary resource files on every way out of the assembler.
class TemporaryFiles {
 public:
  explicit TemporaryFiles(const std::string& workFolder)
      : converted(WithTrailingSeparator(workFolder) + std::string(kConvertedPictureFileName)),
        exported(WithTrailingSeparator(workFolder) + std::string(kLibraryResourceFileName)) {}
  ~TemporaryFiles() {
    removeFile(converted);
    removeFile(exported);
  }
  TemporaryFiles(const TemporaryFiles&) = delete;
  TemporaryFiles& operator=(const TemporaryFiles&) = delete;

  const std::string converted;
  const std::string exported;
};

// A library reference "@B" d "F" n: d at the third character, n from the fifth to the end.
struct LibraryReferenceValue {
  int bank = 0;
  int slot = 0;
};

std::optional<LibraryReferenceValue> parseLibraryReference(const std::string& value) {
  try {
    const int bank = platform::StrToInt(value.size() >= 3 ? value.substr(2, 1) : std::string());
    const int slot = platform::StrToInt(value.size() >= 5 ? value.substr(4) : std::string());
    return LibraryReferenceValue{bank, slot};
  } catch (const platform::EConvertError&) {
    return std::nullopt;
  }
}

BilingualText lookupReason(LibraryLookup status) {
  switch (status) {
    case LibraryLookup::kNoLibrary:
      return build_text::kNoLibrary;
    case LibraryLookup::kOutOfRange:
      return build_text::kLibraryOutOfRange;
    case LibraryLookup::kPastEnd:
      return build_text::kLibraryPastEnd;
    case LibraryLookup::kEmptySlot:
    case LibraryLookup::kFound:
      break;
  }
  return build_text::kLibrarySlotEmpty;
}

class GlbAssembler {
 public:
  GlbAssembler(const GlbOptions& options, const BuildReporter& reporter)
      : m_options(options),
        m_reporter(reporter),
        m_temporary(options.workFolder),
        m_directory(kGlbDirectorySize, 0) {
    const std::uint64_t room =
        options.sizeLimit > kGlbDataOffset ? options.sizeLimit - kGlbDataOffset : 0;
    m_data.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(room, kGlbDataCapacity)));
  }

  // False when the resource list does not fit the limit.
  bool addAll(const TYIniFile& list) {
    for (int bank = 0; bank < kBankCount; ++bank) {
      const std::string section = ResourceListSection(bank);
      for (int slot = 0; slot < kSlotCount; ++slot) {
        const std::string value = Trimmed(list.ReadString(section, ResourceListKey(slot), ""));
        if (!value.empty() && !addSlot(bank, slot, value)) {
          return false;
        }
      }
    }
    return true;
  }

  std::uint64_t size() const { return kGlbDataOffset + m_data.size(); }
  const ResourceChecks& checks() const { return m_checks; }

  void write(const std::string& path) const {
    const auto* signature = reinterpret_cast<const std::uint8_t*>(kGlbSignature.data());
    if (Result<void> written =
            WriteFileBytes(path, {{signature, kGlbSignature.size()}, m_directory, m_data});
        !written) {
      throw EBuildError(m_reporter.pick(build_text::kCannotWriteHead) + path + ": " +
                        m_reporter.reason(written.error()));
    }
  }

 private:
  // False when the slot's resource does not fit.
  bool addSlot(int bank, int slot, const std::string& value) {
    std::string resourceFile;
    if (FileExists(value)) {
      if (!convertPicture(bank, slot, value)) {
        return true;
      }
      resourceFile = m_temporary.converted;
    } else {
      const std::optional<std::span<const std::uint8_t>> resource =
          findLibraryResource(bank, slot, value);
      if (!resource) {
        return true;
      }
      if (!fits(resource->size())) {
        return false;
      }
      if (Result<void> written = WriteFileBytes(m_temporary.exported, {*resource}); !written) {
        throw EBuildError(m_reporter.pick(build_text::kCannotWriteHead) + m_temporary.exported +
                          ": " + m_reporter.reason(written.error()));
      }
      resourceFile = m_temporary.exported;
    }
    return store(bank, slot, resourceFile);
  }

  // Converts into the temporary picture; false (with a warning) when the truncating converter
  // refuses the picture.
  bool convertPicture(int bank, int slot, const std::string& path) {
    if (bank == kBackgroundBank) {
      m_reporter.trace("BmpRGB888ToRGB565_ErrorDiffuse_FS: " + path);
      try {
        BmpRGB888ToRGB565_ErrorDiffuse_FS(path, m_temporary.converted);
      } catch (const EImageError& error) {
        throw EBuildError(m_reporter.pick(build_text::kPictureErrorHead) + path + ": " +
                          error.what());
      }
      return true;
    }
    m_reporter.trace("Sub2_TranslateRgb888ToRgb565: " + path);
    if (Result<void> converted = TranslateRgb888FileToRgb565(path, m_temporary.converted);
        !converted) {
      warn(bank, slot, path, build_text::kPictureNotConverted,
           m_reporter.reason(converted.error()));
      return false;
    }
    return true;
  }

  std::optional<std::span<const std::uint8_t>> findLibraryResource(int bank, int slot,
                                                                   const std::string& value) {
    const std::optional<LibraryReferenceValue> reference = parseLibraryReference(value);
    if (!reference) {
      throw EBuildError(m_reporter.pick(build_text::kNotPictureHead) + ResourceListSection(bank) +
                        "-" + std::to_string(slot) + "=" + value +
                        m_reporter.pick(build_text::kNotPictureTail));
    }
    m_reporter.trace("Export " + value + " GLB file");
    removeFile(m_temporary.exported);
    const LibraryResource found =
        FindLibraryResource(m_options.library, reference->bank, reference->slot);
    if (found.status != LibraryLookup::kFound) {
      warn(bank, slot, value, build_text::kLibraryResourceMissing,
           m_reporter.pick(lookupReason(found.status)));
      return std::nullopt;
    }
    return found.bytes;
  }

  bool fits(std::uint64_t resourceSize) const {
    const std::uint64_t dataSize = m_data.size() + resourceSize;
    return dataSize <= kGlbDataCapacity && kGlbDataOffset + dataSize <= m_options.sizeLimit;
  }

  // Appends the resource file to the data area; false when it does not fit.
  bool store(int bank, int slot, const std::string& resourceFile) {
    std::error_code sizeError;
    const std::uintmax_t fileSize = std::filesystem::file_size(resourceFile, sizeError);
    if (!sizeError && !fits(fileSize)) {
      removeFile(resourceFile);
      return false;
    }
    const std::size_t offset = m_data.size();
    Result<void> read = sizeError ? Error::System(resourceFile, sizeError.value())
                                  : AppendFileBytes(resourceFile, fileSize, m_data);
    if (!read) {
      throw EBuildError(m_reporter.pick(build_text::kCannotReadHead) + resourceFile + ": " +
                        m_reporter.reason(read.error()));
    }
    removeFile(resourceFile);
    const std::span<std::uint8_t> resource(m_data.data() + offset,
                                           static_cast<std::size_t>(fileSize));
    ReplaceBmTag(resource);
    const auto length = static_cast<std::uint32_t>(fileSize);
    m_checks[ResourceIndex(bank, slot)] = {YVclUtil::Crc8Maxim(resource), length};
    std::uint8_t* entry = m_directory.data() + (GlbEntryOffset(bank, slot) - kGlbDirectoryOffset);
    PutU32(entry, static_cast<std::uint32_t>(kGlbDataOffset + offset));
    PutU32(entry + 4, length);
    return true;
  }

  void warn(int bank, int slot, const std::string& value, BilingualText what,
            const std::string& reason) const {
    m_reporter.log(m_reporter.pick(build_text::kSlotWarningHead) + std::to_string(bank) + "-" +
                   std::to_string(slot) + "=" + value + " " + m_reporter.pick(what) + " (" +
                   reason + ")" + m_reporter.pick(build_text::kSlotWarningTail));
  }

  const GlbOptions& m_options;
  const BuildReporter& m_reporter;
  TemporaryFiles m_temporary;
  std::vector<std::uint8_t> m_directory;
  ByteBuffer m_data;
  ResourceChecks m_checks{};
};

}  // namespace

void ReplaceBmTag(std::span<std::uint8_t> resource) {
  if (resource.size() >= 2 && resource[0] == 'B' && resource[1] == 'M') {
    const std::size_t size = resource.size();
    resource[0] = static_cast<std::uint8_t>((size >> 2) & 0xFF);
    resource[1] = static_cast<std::uint8_t>(((size >> 2) + (size >> 3)) & 0xFF);
  }
}

std::string ChangeFileExt(const std::string& path, const std::string& extension) {
  const std::size_t nameStart = path.size() - FileNameOf(path).size();
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot < nameStart) {
    return path + extension;
  }
  return path.substr(0, dot) + extension;
}

GlbResult MakeGLB(const std::string& listPath, const GlbOptions& options,
                  const BuildReporter& reporter) {
  if (!FileExists(listPath)) {
    throw EBuildError(reporter.pick(build_text::kCannotReadHead) + listPath);
  }
  const TYIniFile list(listPath, nullptr, YVclUtil::TYIniAccess::ReadOnly);
  GlbAssembler assembler(options, reporter);
  GlbResult result;
  if (!assembler.addAll(list)) {
    return result;
  }
  reporter.trace("Save KWX.GLB file");
  std::string name =
      ChangeFileExt(list.ReadString(std::string(kGlobalSection), std::string(kRomFileNameKey),
                                    std::string(kDefaultRomFileName)),
                    ".GLB");
  if (!IsAbsolutePath(name)) {
    name = WithTrailingSeparator(options.workFolder) + name;
  }
  assembler.write(name);
  result.written = true;
  result.glbPath = name;
  result.glbSize = assembler.size();
  result.checks = assembler.checks();
  return result;
}

}  // namespace tvx
