#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "cli/commands.h"
#include "cli/console_text.h"
#include "image/bmp_probe.h"
#include "image/error_diffusion.h"
#include "image/normalised_bmp.h"
#include "image/picture_fit_names.h"
#include "image/picture_import.h"
#include "image/picture_preparation.h"
#include "image/truncate_converter.h"
#include "rom/scratch_folder.h"
#include "util/crc8.h"
#include "util/error_text.h"
#include "util/file_replace.h"
#include "util/printf_format.h"

namespace tvx::cli {
namespace {

constexpr BilingualText kCannotConvert{"無法轉換 %s", "cannot convert %s"};
constexpr BilingualText kCannotRead{"無法讀取 %s", "cannot read %s"};
constexpr BilingualText kOutputIsInput{"無法轉換 %s: 輸出檔與輸入檔是同一個檔案",
                                       "cannot convert %s: the output is the input file"};
constexpr BilingualText kOddWidth{
    "無法轉換 %s: 寬度為奇數, 截位轉換只接受偶數寬度 (tvx880 import --slot floor 可補成偶數)",
    "cannot convert %s: its width is odd and the truncating converter takes even widths only "
    "(tvx880 import --slot floor makes it even)"};
constexpr BilingualText kCannotImport{"無法匯入 %s", "cannot import %s"};
constexpr BilingualText kImportOntoInput{"無法匯入 %s: 輸出檔與輸入檔是同一個檔案",
                                         "cannot import %s: the output is the input file"};
constexpr BilingualText kCannotWritePicture{"無法寫入圖檔 %s", "cannot write the picture %s"};

struct ConvertOptions {
  std::optional<std::string> lang;
  bool diffuse = false;
  bool truncate = false;
  std::string input;
  std::string output;
};

// "cannot convert IN to OUT: " and why.
Error conversionError(const ConvertOptions& options, std::string reason) {
  return Error::Invalid(options.input + " to " + options.output, std::move(reason))
      .withAction(kCannotConvert);
}

// The output names the input: by the same path, or through a symbolic or hard link. Writing
// it would destroy the source picture.
bool outputIsInput(const std::string& inputPath, const std::string& outputPath) {
  namespace fs = std::filesystem;
  std::error_code inputError;
  std::error_code outputError;
  const fs::path input = fs::absolute(inputPath, inputError).lexically_normal();
  const fs::path output = fs::absolute(outputPath, outputError).lexically_normal();
  if (!inputError && !outputError && input == output) {
    return true;
  }
  std::error_code error;
  return fs::exists(outputPath, error) && fs::equivalent(inputPath, outputPath, error);
}

int runConvert(const ConvertOptions& options) {
  SetReportLanguage(LanguageOption(options.lang));
  if (outputIsInput(options.input, options.output)) {
    return reportFailure(Error::Stated(options.input + " to " + options.output, kOutputIsInput));
  }
  // A picture in another form (another BMP, PNG, JPEG) is prepared first, as the build does.
  Result<ScratchFolder> scratch = ScratchFolder::Create({});
  if (!scratch) {
    return reportFailure(scratch.error());
  }
  const PictureConverter converter =
      options.diffuse ? PictureConverter::kErrorDiffusion : PictureConverter::kTruncating;
  if (Result<BmpProbe> probe = ProbeBmpFile(options.input);
      probe && !ConverterTakes(*probe, converter)) {
    // The converter's words would not explain an odd width, nor a file that is no BMP (they
    // only say it lacks "BM"); a damaged BMP it names by its own rule, as it always did.
    const Result<TArgbImage> prepared = PreparePicture(options.input, converter);
    if (!prepared && prepared.error().detail == truncate_rule::kEvenWidth) {
      return reportFailure(Error::Stated(options.input + " to " + options.output, kOddWidth));
    }
    if (!prepared && probe->kind != PictureFileKind::kBmp) {
      return reportFailure(Error(prepared.error()).withAction(kCannotConvert));
    }
  }
  const Result<std::string> source =
      ConverterSource(options.input, converter, scratch->file("prepared.bmp"));
  if (!source) {
    return reportFailure(conversionError(options, ErrorReason(source.error(), 0)));
  }
  if (options.diffuse) {
    // The diffusing converter raises the picture library's errors.
    try {
      BmpRGB888ToRGB565_ErrorDiffuse_FS(*source, options.output);
    } catch (const std::exception& error) {
      return reportFailure(conversionError(options, error.what()));
    }
    return kExitOk;
  }
  if (Result<void> converted = TranslateRgb888FileToRgb565(*source, options.output); !converted) {
    return reportFailure(conversionError(options, ErrorReason(converted.error(), 0)));
  }
  return kExitOk;
}

struct ImportOptions {
  std::optional<std::string> lang;
  std::string input;
  std::string output;
  std::string slot;
  std::string fit = "pad";
  std::string background = "#000000";
  bool horizontal = false;
};

int runImport(const ImportOptions& options) {
  SetReportLanguage(LanguageOption(options.lang));
  const std::string subject = options.input + " to " + options.output;
  if (outputIsInput(options.input, options.output)) {
    return reportFailure(Error::Stated(subject, kImportOntoInput));
  }
  ImportRequest request;
  request.slot = *ParsePictureSlot(options.slot);
  request.mode = *ParseFitMode(options.fit);
  request.backgroundRgb = *ParseRgbColour(options.background);
  request.orientation =
      options.horizontal ? ScreenOrientation::kHorizontal : ScreenOrientation::kVertical;
  const Result<TArgbImage> picture = ImportPicture(options.input, request);
  if (!picture) {
    return reportFailure(Error(picture.error()).withAction(kCannotImport));
  }
  const std::vector<std::uint8_t> bytes = NormalisedBmpBytes(*picture);
  if (Result<void> written = YVclUtil::ReplaceFileContents(
          options.output, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
      !written) {
    return reportFailure(Error(written.error()).withAction(kCannotWritePicture));
  }
  PrintLine(stdout,
            YVclUtil::FormatPrintf("%s: %d x %d, %s", options.output.c_str(), picture->Width(),
                                   picture->Height(), options.slot.c_str()));
  return kExitOk;
}

// Prints "XX  name" for each file; a file that cannot be read is reported and skipped.
int runCrc8(const std::vector<std::string>& files) {
  int status = kExitOk;
  std::vector<std::uint8_t> buffer(64 * 1024);
  for (const std::string& name : files) {
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (file == nullptr) {
      status = reportFailure(Error::System(name, errno).withAction(kCannotRead));
      continue;
    }
    std::uint8_t crc = 0;
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
      crc = YVclUtil::Crc8Maxim(buffer.data(), got, crc);
    }
    const bool failed = std::ferror(file) != 0;
    const int readErrno = errno;
    std::fclose(file);
    if (failed) {
      status = reportFailure(Error::System(name, readErrno).withAction(kCannotRead));
      continue;
    }
    std::printf("%02X  %s\n", crc, name.c_str());
  }
  return status;
}

}  // namespace

void registerImageCommands(CLI::App& app, CommandRunner& runner) {
  auto options = std::make_shared<ConvertOptions>();
  CLI::App* convert = app.add_subcommand(
      "convert",
      "Convert a picture (BMP of any kind, PNG, JPEG) to the indicator's 16-bit 5-6-5 BMP, as "
      "the build does");
  CLI::Option_group* mode = convert->add_option_group("mode", "How colours are reduced");
  mode->add_flag("--diffuse", options->diffuse,
                 "Floyd-Steinberg error diffusion (background pictures); reads 1 to 32-bit BMPs");
  mode->add_flag("--truncate", options->truncate,
                 "Drop the low bits of each channel (all other pictures); reads 24-bit BMPs of "
                 "even width");
  mode->require_option(1);
  convert->add_option("input", options->input, "Source picture")->required();
  convert->add_option("output", options->output, "16-bit BMP to write")->required();
  addLanguageOption(*convert, options->lang);
  runner.bind(convert, [options] { return runConvert(*options); });

  auto import = std::make_shared<ImportOptions>();
  CLI::App* importCommand = app.add_subcommand(
      "import",
      "Make any picture (BMP of any kind, PNG, JPEG) fit for a slot: scaled to the slot's size "
      "and written as the 24-bit BMP both converters take (transparent parts over black)");
  importCommand->add_option("input", import->input, "The picture to import")->required();
  importCommand->add_option("output", import->output, "The 24-bit BMP to write")->required();
  importCommand
      ->add_option("--slot", import->slot,
                   "message (240 x 48), date (80 x 40), arrow (104 x 128), background-v "
                   "(240 x 320), background-h (320 x 240), logo (the screen), floor (its own "
                   "size, made even in width)")
      ->required()
      ->check(CLI::IsMember(
          {"message", "date", "arrow", "background-v", "background-h", "logo", "floor"}));
  importCommand
      ->add_option("--fit", import->fit,
                   "pad (default: all of it, the rest in the background colour), crop (fill the "
                   "slot, cut the overflow evenly) or stretch")
      ->check(CLI::IsMember({"pad", "crop", "stretch"}));
  importCommand
      ->add_option("--background", import->background,
                   "colour of the padding, #RRGGBB (default #000000)")
      ->check(CLI::Validator(
          [](std::string& value) {
            return ParseRgbColour(value) ? std::string()
                                         : "\"" + value + "\" is no colour of the form #RRGGBB";
          },
          "#RRGGBB"));
  importCommand->add_flag("--horizontal", import->horizontal,
                          "the logo fills a horizontal screen (320 x 240) instead of 240 x 320");
  addLanguageOption(*importCommand, import->lang);
  runner.bind(importCommand, [import] { return runImport(*import); });

  auto files = std::make_shared<std::vector<std::string>>();
  CLI::App* crc8 = app.add_subcommand(
      "crc8", "Print the CRC-8/MAXIM of files, as upload packets and the ROM image use it");
  crc8->add_option("files", *files, "Files to check")->required();
  runner.bind(crc8, [files] { return runCrc8(*files); });
}

}  // namespace tvx::cli
