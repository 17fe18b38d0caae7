// Uploads a ROM image to the virtual indicator (another process, reading at the pace of a real
// line) and compares the time the transfer took with the line's own floor: every packet is
// 64 + 4096 bytes of 10 bits. Also prints the tool's CPU time during the transfer as a share of
// one core.
//
//   upload_bench                 4 MiB (1024 packets) at 115200 baud: about 370 s
//   upload_bench --quick         64 packets at 921600 baud, for CI (about 3 s)
//   upload_bench --packets N --baud B
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "serial/pc_uart.h"
#include "upload/upload_engine.h"
#include "upload/virtual_indicator.h"
#include "util/local_event_loop.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Report {
  long long lastByteNs = 0;  // steady clock (CLOCK_MONOTONIC, the same in both processes)
  unsigned packetsGood = 0;
  unsigned packetsBad = 0;
};

class QuietHost : public tvx::UploadHost {
 public:
  void clearLog() override {}
  void logLine(const std::string& line) override {
    if (line.rfind("PacketNum=", 0) != 0) {
      lines += line + "\n";
    }
  }
  void setButtonCaption(const std::string&) override {}
  void setProgressMaximum(int) override {}
  void setProgressPosition(int) override {}
  std::string lines;
};

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long long steadyNs(Clock::time_point time) {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
}

[[noreturn]] void runIndicator(const std::string& link, unsigned baud, int readyFd, int reportFd) {
  tvx::VirtualIndicatorOptions options;
  options.linkPath = link;
  options.baud = baud;
  tvx::VirtualIndicator indicator(options);
  const char ready = indicator.open() ? 'y' : 'n';
  [[maybe_unused]] ssize_t n = write(readyFd, &ready, 1);
  Report report;
  if (ready == 'y') {
    if (const auto summary = indicator.receiveTransfer()) {
      report.lastByteNs = steadyNs(indicator.lastByteTime());
      report.packetsGood = summary->packetsGood;
      report.packetsBad = summary->packetsBad;
    }
  }
  n = write(reportFd, &report, sizeof report);
  _exit(0);
}

}  // namespace

int main(int argc, char** argv) {
  unsigned packets = 1024;
  unsigned baud = 115200;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--quick") {
      packets = 64;
      baud = 921600;
    } else if (arg == "--packets" && i + 1 < argc) {
      packets = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
    } else if (arg == "--baud" && i + 1 < argc) {
      baud = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
    } else {
      std::fprintf(stderr, "usage: %s [--quick] [--packets N] [--baud B]\n", argv[0]);
      return 2;
    }
  }
  if (packets == 0 || baud < 300) {
    std::fprintf(stderr, "need at least one packet and 300 baud\n");
    return 2;
  }

  char dirTemplate[] = "/tmp/tvx880-bench-XXXXXX";
  const std::string dir = mkdtemp(dirTemplate);
  const std::string link = dir + "/indicator";
  const std::string imagePath = dir + "/bench.BIN";
  {
    std::string image(static_cast<std::size_t>(packets) * 4096, '\0');
    for (std::size_t i = 0; i < image.size(); ++i) {
      image[i] = static_cast<char>(i * 37 + i / 4096);
    }
    image.replace(0, 8, "KWXGLB2L");
    std::FILE* file = std::fopen(imagePath.c_str(), "wb");
    std::fwrite(image.data(), 1, image.size(), file);
    std::fclose(file);
  }

  int ready[2];
  int report[2];
  if (pipe(ready) != 0 || pipe(report) != 0) {
    return 1;
  }
  const pid_t child = fork();
  if (child == 0) {
    runIndicator(link, baud, ready[1], report[1]);
  }
  char ok = 'n';
  if (read(ready[0], &ok, 1) != 1 || ok != 'y') {
    std::fprintf(stderr, "the virtual indicator did not start\n");
    return 1;
  }

  tvx::LocalEventLoop loop;
  KwxCtrl::TPcUart uart;
  uart.pw_EventLoop(&loop);
  tvx::ApplyStoredPcUart1Settings(uart);
  uart.pw_UartBaud(baud);
  QuietHost host;
  tvx::UploadEngine engine(host, uart, &loop);
  engine.setLanguage(0);
  engine.writeHeaderFixedBytes();
  engine.setCloseDelay(std::chrono::milliseconds(10));
  engine.setPortPath(link);

  const double cpuStart = cpuSeconds();
  const Clock::time_point start = Clock::now();
  if (!engine.StartUpload(imagePath)) {
    std::fputs(host.lines.c_str(), stderr);
    return 1;
  }
  loop.runUntil([&] { return !engine.busy(); }, Clock::time_point::max());
  const Clock::time_point toolDone = Clock::now();
  const double cpu = cpuSeconds() - cpuStart;

  Report received;
  if (read(report[0], &received, sizeof received) != static_cast<ssize_t>(sizeof received)) {
    std::fprintf(stderr, "no report from the virtual indicator\n");
    return 1;
  }
  waitpid(child, nullptr, 0);
  std::remove(imagePath.c_str());
  rmdir(dir.c_str());

  const double floorSeconds = static_cast<double>(packets) * 4160.0 * 10.0 / baud;
  const double measured = static_cast<double>(received.lastByteNs - steadyNs(start)) / 1e9;
  const double toolSeconds = std::chrono::duration<double>(toolDone - start).count();
  std::printf("upload_bench: %u packets at %u baud\n", packets, baud);
  std::printf("  line floor          %10.3f s\n", floorSeconds);
  std::printf("  measured (last byte) %9.3f s   ratio %.4f  (aim <= 1.01)\n", measured,
              measured / floorSeconds);
  std::printf("  tool CPU            %10.3f s   %.3f%% of one core over %.3f s (aim: a few %%)\n",
              cpu, 100.0 * cpu / toolSeconds, toolSeconds);
  std::printf("  indicator: %u packets good, %u bad\n", received.packetsGood, received.packetsBad);
  return received.packetsGood == packets && received.packetsBad == 0 ? 0 : 1;
}
