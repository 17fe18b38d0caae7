#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "cli/commands.h"
#include "image/error_diffusion.h"
#include "image/truncate_converter.h"
#include "util/crc8.h"
#include "util/error_text.h"

namespace tvx::cli {
namespace {

constexpr BilingualText kCannotConvert{"無法轉換 %s", "cannot convert %s"};
constexpr BilingualText kCannotRead{"無法讀取 %s", "cannot read %s"};
constexpr BilingualText kOutputIsInput{"無法轉換 %s: 輸出檔與輸入檔是同一個檔案",
                                       "cannot convert %s: the output is the input file"};

struct ConvertOptions {
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
bool outputIsInput(const ConvertOptions& options) {
  namespace fs = std::filesystem;
  std::error_code inputError;
  std::error_code outputError;
  const fs::path input = fs::absolute(options.input, inputError).lexically_normal();
  const fs::path output = fs::absolute(options.output, outputError).lexically_normal();
  if (!inputError && !outputError && input == output) {
    return true;
  }
  std::error_code error;
  return fs::exists(options.output, error) && fs::equivalent(options.input, options.output, error);
}

int runConvert(const ConvertOptions& options) {
  if (outputIsInput(options)) {
    return reportFailure(Error::Stated(options.input + " to " + options.output, kOutputIsInput));
  }
  if (options.diffuse) {
    // The diffusing converter raises the picture library's errors.
    try {
      BmpRGB888ToRGB565_ErrorDiffuse_FS(options.input, options.output);
    } catch (const std::exception& error) {
      return reportFailure(conversionError(options, error.what()));
    }
    return kExitOk;
  }
  if (Result<void> converted = TranslateRgb888FileToRgb565(options.input, options.output);
      !converted) {
    return reportFailure(conversionError(options, ErrorReason(converted.error(), 0)));
  }
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
      "convert", "Convert a BMP picture to the indicator's 16-bit 5-6-5 BMP, as the build does");
  CLI::Option_group* mode = convert->add_option_group("mode", "How colours are reduced");
  mode->add_flag("--diffuse", options->diffuse,
                 "Floyd-Steinberg error diffusion (background pictures); reads 1 to 32-bit BMPs");
  mode->add_flag("--truncate", options->truncate,
                 "Drop the low bits of each channel (all other pictures); reads 24-bit BMPs of "
                 "even width");
  mode->require_option(1);
  convert->add_option("input", options->input, "Source BMP picture")->required();
  convert->add_option("output", options->output, "16-bit BMP to write")->required();
  runner.bind(convert, [options] { return runConvert(*options); });

  auto files = std::make_shared<std::vector<std::string>>();
  CLI::App* crc8 = app.add_subcommand(
      "crc8", "Print the CRC-8/MAXIM of files, as upload packets and the ROM image use it");
  crc8->add_option("files", *files, "Files to check")->required();
  runner.bind(crc8, [files] { return runCrc8(*files); });
}

}  // namespace tvx::cli
