#include "app/upload_image_check.h"

#include "rom/rom_readback.h"
#include "upload/upload_texts.h"
#include "util/printf_format.h"
#include "util/rom_image_format.h"

namespace tvx {

namespace text = upload_text;

std::vector<std::string> UploadImageProblems(std::span<const std::uint8_t> image, unsigned mem,
                                             unsigned lang) {
  const RomInspection inspection = InspectRomFile(image);
  std::vector<std::string> problems;
  auto add = [&](const BilingualText& sentence, std::initializer_list<std::string> values) {
    problems.push_back(FillIn(sentence.forLanguage(lang), values));
  };
  if (inspection.kind == RomFileKind::kUnknown || inspection.kind == RomFileKind::kLibrary) {
    add(text::kCheckSignature, {});
    return problems;
  }
  if (inspection.kind != RomFileKind::kRomImage) {
    add(text::kCheckWholeImage, {std::to_string(image.size())});
    return problems;
  }
  const std::size_t wanted = mem == 64 ? kRomImageSize64 : kRomImageSize32;
  if (image.size() != wanted) {
    add(text::kCheckMemorySetting, {std::to_string(image.size() >> 20), mem == 64 ? "64" : "32"});
  }
  if (inspection.headerCrcStored != inspection.headerCrcComputed) {
    add(text::kCheckHeaderCrc, {YVclUtil::FormatPrintf("0x%02X", inspection.headerCrcStored),
                                YVclUtil::FormatPrintf("0x%02X", inspection.headerCrcComputed)});
  }
  if (inspection.firstFillMismatch) {
    add(text::kCheckFill, {std::to_string(*inspection.firstFillMismatch)});
  } else if (!inspection.fillOk) {
    add(text::kCheckGlbOverlap, {});
  }
  if (!inspection.configSignatureOk) {
    add(text::kCheckConfigSignature, {});
  }
  return problems;
}

}  // namespace tvx
