#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/console_text.h"
#include "cli/interrupt_watcher.h"
#include "cli/upload_cli.h"
#include "upload/virtual_indicator.h"
#include "util/file_bytes.h"
#include "util/printf_format.h"

namespace tvx::cli {

void addUploadOptions(CLI::App* command, const std::shared_ptr<ConsoleUploadOptions>& options,
                      bool portRequired) {
  auto* port = command->add_option(
      "--port", options->port,
      "Serial port: COMn (through the port map, see `tvx880 ports`) or a device path");
  if (portRequired) {
    port->required();
  }
  command->add_option("--map", options->portMappings,
                      "Map a port number to a device first, e.g. COM3=/dev/ttyUSB1 (repeatable)");
  command->add_option("--lang", options->lang, "Language of the log lines: en or zh (default en)")
      ->transform(CLI::CheckedTransformer(std::map<std::string, unsigned>{{"en", 0}, {"zh", 1}},
                                          CLI::ignore_case));
  command
      ->add_option("--mem", options->mem,
                   "Memory of the indicator in Mb: 32 (4 MiB image) or 64 (8 MiB image)")
      ->check(CLI::IsMember({32u, 64u}))
      ->default_val(32);
  command->add_option_function<unsigned>(
      "--close-delay",
      [options](unsigned milliseconds) {
        options->closeDelay = std::chrono::milliseconds(milliseconds);
      },
      "Milliseconds from the last packet to closing the port (default 2500)");
  command->add_flag_callback(
      "--no-progress", [options] { options->progress = false; }, "Do not draw the progress bar");
}

int runUpload(ConsoleUploadKind kind, const std::string& file,
              const ConsoleUploadOptions& options) {
  SetReportLanguage(options.lang);
  if (Result<void> checked = CheckConsoleUploadOptions(options); !checked) {
    return reportFailure(checked.error(), kExitUsage);
  }
  const Result<void> uploaded = RunConsoleUpload(kind, file, options);
  return uploaded ? kExitOk : reportFailure(uploaded.error());
}

namespace {

struct SimOptions {
  std::string link;
  unsigned baud = 115200;
  std::string out;
  bool once = false;
};

int runSim(const SimOptions& options) {
  InterruptWatcher interrupts;
  auto print = [](const std::string& line) { PrintLine(stdout, line); };
  VirtualIndicatorOptions indicatorOptions;
  indicatorOptions.linkPath = options.link;
  indicatorOptions.baud = options.baud;
  VirtualIndicator indicator(indicatorOptions, print);
  if (Result<void> opened = indicator.open(); !opened) {
    return reportFailure(opened.error());
  }
  const ScopedInterruptHandler stopOnInterrupt(interrupts, [&indicator] { indicator.stop(); });
  print(YVclUtil::FormatPrintf(
      "Virtual indicator on %s (link %s), %s", indicator.devicePath().c_str(), options.link.c_str(),
      options.baud == 0 ? "unpaced" : (std::to_string(options.baud) + " baud").c_str()));
  for (unsigned transfer = 1;; ++transfer) {
    const auto summary = indicator.receiveTransfer();
    if (!summary) {
      return options.once ? reportFailure(Error::Invalid({}, "stopped before a transfer ended"))
                          : kExitOk;
    }
    print(YVclUtil::FormatPrintf("transfer %u: %s", transfer, summary->describe().c_str()));
    if (!options.out.empty() && !summary->image.empty()) {
      // A failed write leaves no cut image behind.
      if (Result<void> written = WriteFileBytes(options.out, {summary->image}); !written) {
        return reportFailure(
            std::move(written).error().withAction({"無法寫入 %s", "cannot write %s"}));
      }
    }
    if (options.once) {
      return summary->allGood() ? kExitOk
                                : reportFailure(Error::Invalid({}, "the transfer had bad packets"));
    }
  }
}

}  // namespace

void registerUploadCommands(CLI::App& app, CommandRunner& runner) {
  {
    auto options = std::make_shared<ConsoleUploadOptions>();
    auto file = std::make_shared<std::string>();
    CLI::App* upload = app.add_subcommand(
        "upload", "Upload an existing ROM image (.BIN) to the indicator, without building");
    upload->add_option("FILE", *file, "The ROM image")->required();
    addUploadOptions(upload, options, true);
    upload->add_flag("--force", options->force,
                     "Send the image even when it fails the checks of `tvx880 inspect`");
    runner.bind(upload, [options, file] {
      return runUpload(ConsoleUploadKind::UploadOnly, *file, *options);
    });
  }
  {
    auto options = std::make_shared<ConsoleUploadOptions>();
    CLI::App* clock = app.add_subcommand("clock", "Set the indicator's clock to this PC's time");
    addUploadOptions(clock, options, true);
    runner.bind(clock, [options] { return runUpload(ConsoleUploadKind::ClockSync, "", *options); });
  }
  {
    auto options = std::make_shared<SimOptions>();
    CLI::App* sim = app.add_subcommand(
        "sim", "Play the indicator: receive and check uploads on a pseudo-terminal");
    sim->add_option("--link", options->link,
                    "Where to put the link to the line's device (upload with --port PATH)")
        ->required();
    sim->add_option("--baud", options->baud, "Read no faster than this line (0: no pacing)")
        ->default_val(115200);
    sim->add_option("--out", options->out, "Write the received image to this file");
    sim->add_flag("--once", options->once,
                  "Exit after one transfer: status 0 only when every packet was good");
    runner.bind(sim, [options] { return runSim(*options); });
  }
}

}  // namespace tvx::cli
