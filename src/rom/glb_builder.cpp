#include "rom/glb_builder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "image/error_diffusion.h"
#include "image/image_error.h"
#include "image/little_endian.h"
#include "image/normalised_bmp.h"
#include "image/picture_preparation.h"
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
        exported(WithTrailingSeparator(workFolder) + std::string(kLibraryResourceFileName)),
        prepared(WithTrailingSeparator(workFolder) + std::string(kPreparedPictureFileName)) {}
  ~TemporaryFiles() {
    removeFile(converted);
    removeFile(exported);
    removeFile(prepared);
  }
  TemporaryFiles(const TemporaryFiles&) = delete;
  TemporaryFiles& operator=(const TemporaryFiles&) = delete;

  const std::string converted;
  const std::string exported;
  const std::string prepared;
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

// What became of one slot.
enum class Slot {
  kFilled,
  kLeftEmpty,  // refused or not found, with a warning in the log
  kFull,       // its resource does not fit the size limit
};

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
  Result<bool> addAll(const TYIniFile& list) {
    for (int bank = 0; bank < kBankCount; ++bank) {
      const std::string section = ResourceListSection(bank);
      for (int slot = 0; slot < kSlotCount; ++slot) {
        const std::string value = Trimmed(list.ReadString(section, ResourceListKey(slot), ""));
        if (value.empty()) {
          continue;
        }
        const Result<Slot> added = addSlot(bank, slot, value);
        if (!added) {
          return added.error();
        }
        if (*added == Slot::kFull) {
          return false;
        }
      }
    }
    return true;
  }

  std::uint64_t size() const { return kGlbDataOffset + m_data.size(); }
  const ResourceChecks& checks() const { return m_checks; }

  Result<void> write(const std::string& path) const {
    const auto* signature = reinterpret_cast<const std::uint8_t*>(kGlbSignature.data());
    if (Result<void> written =
            WriteFileBytes(path, {{signature, kGlbSignature.size()}, m_directory, m_data});
        !written) {
      return std::move(written).error().withAction(build_text::kCannotWrite);
    }
    return {};
  }

 private:
  Result<Slot> addSlot(int bank, int slot, const std::string& value) {
    std::string resourceFile;
    if (FileExists(value)) {
      const Result<Slot> converted = convertPicture(bank, slot, value);
      if (!converted || *converted != Slot::kFilled) {
        return converted;
      }
      resourceFile = m_temporary.converted;
    } else {
      const Result<std::optional<std::span<const std::uint8_t>>> resource =
          findLibraryResource(bank, slot, value);
      if (!resource) {
        return resource.error();
      }
      if (!*resource) {
        return Slot::kLeftEmpty;
      }
      const std::span<const std::uint8_t> bytes = **resource;
      if (!fits(bytes.size())) {
        return Slot::kFull;
      }
      if (Result<void> written = WriteFileBytes(m_temporary.exported, {bytes}); !written) {
        return std::move(written).error().withAction(build_text::kCannotWrite);
      }
      resourceFile = m_temporary.exported;
    }
    return store(bank, slot, resourceFile);
  }

  // Converts into the temporary picture; kLeftEmpty (with a warning) when the truncating
  // converter refuses the picture.
  Result<Slot> convertPicture(int bank, int slot, const std::string& path) {
    const PictureConverter converter = IsErrorDiffusionBank(bank)
                                           ? PictureConverter::kErrorDiffusion
                                           : PictureConverter::kTruncating;
    const Result<std::string> prepared = sourceFor(path, converter);
    if (!prepared) {
      return prepared.error();
    }
    const std::string& source = *prepared;
    if (converter == PictureConverter::kErrorDiffusion) {
      m_reporter.trace("BmpRGB888ToRGB565_ErrorDiffuse_FS: " + path);
      try {
        BmpRGB888ToRGB565_ErrorDiffuse_FS(source, m_temporary.converted);
      } catch (const EImageError& error) {
        return Error::Invalid(path, error.what()).withAction(build_text::kPictureError);
      }
      return Slot::kFilled;
    }
    m_reporter.trace("Sub2_TranslateRgb888ToRgb565: " + path);
    if (Result<void> converted = TranslateRgb888FileToRgb565(source, m_temporary.converted);
        !converted) {
      warn(bank, slot, path, build_text::kPictureNotConverted,
           m_reporter.reason(converted.error()));
      return Slot::kLeftEmpty;
    }
    return Slot::kFilled;
  }

  // The file the converter reads: the picture itself, or it prepared in the private folder.
  Result<std::string> sourceFor(const std::string& path, PictureConverter converter) {
    Result<std::string> source = ConverterSource(path, converter, m_temporary.prepared);
    if (!source) {
      return std::move(source).error().withAction(build_text::kCannotWrite);
    }
    if (*source != path) {
      m_reporter.trace("Prepare " + path);
    }
    return source;
  }

  // The library resource a slot value names; nothing (with a warning) when the library has
  // none there.
  Result<std::optional<std::span<const std::uint8_t>>> findLibraryResource(
      int bank, int slot, const std::string& value) {
    const std::optional<LibraryReferenceValue> reference = parseLibraryReference(value);
    if (!reference) {
      return Error::Stated(ResourceListSection(bank) + "-" + std::to_string(slot) + "=" + value,
                           build_text::kNotPicture);
    }
    m_reporter.trace("Export " + value + " GLB file");
    removeFile(m_temporary.exported);
    const LibraryResource found =
        FindLibraryResource(m_options.library, reference->bank, reference->slot);
    if (found.status != LibraryLookup::kFound) {
      warn(bank, slot, value, build_text::kLibraryResourceMissing,
           m_reporter.pick(lookupReason(found.status)));
      return std::optional<std::span<const std::uint8_t>>();
    }
    return std::optional(found.bytes);
  }

  bool fits(std::uint64_t resourceSize) const {
    const std::uint64_t dataSize = m_data.size() + resourceSize;
    return dataSize <= kGlbDataCapacity && kGlbDataOffset + dataSize <= m_options.sizeLimit;
  }

  // Appends the resource file to the data area; kFull when it does not fit.
  Result<Slot> store(int bank, int slot, const std::string& resourceFile) {
    std::error_code sizeError;
    const std::uintmax_t fileSize = std::filesystem::file_size(resourceFile, sizeError);
    if (!sizeError && !fits(fileSize)) {
      removeFile(resourceFile);
      return Slot::kFull;
    }
    const std::size_t offset = m_data.size();
    Result<void> read = sizeError ? Error::System(resourceFile, sizeError.value())
                                  : AppendFileBytes(resourceFile, fileSize, m_data);
    if (!read) {
      return std::move(read).error().withAction(build_text::kCannotRead);
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
    return Slot::kFilled;
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

Result<GlbResult> MakeGLB(const std::string& listPath, const GlbOptions& options,
                          const BuildReporter& reporter) {
  if (!FileExists(listPath)) {
    return Error::Stated(listPath, build_text::kCannotRead);
  }
  const TYIniFile list(listPath, nullptr, YVclUtil::TYIniAccess::ReadOnly);
  GlbAssembler assembler(options, reporter);
  GlbResult result;
  const Result<bool> allFit = assembler.addAll(list);
  if (!allFit) {
    return allFit.error();
  }
  if (!*allFit) {
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
  TVX_TRY(assembler.write(name));
  result.written = true;
  result.glbPath = name;
  result.glbSize = assembler.size();
  result.checks = assembler.checks();
  return result;
}

}  // namespace tvx
