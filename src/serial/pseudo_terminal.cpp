#include "serial/pseudo_terminal.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace tvx {
namespace {

void makeRaw(int fd) {
  termios tio{};
  tcgetattr(fd, &tio);
  cfmakeraw(&tio);
  tcsetattr(fd, TCSANOW, &tio);
}

}  // namespace

Result<PseudoTerminal> OpenRawPseudoTerminal() {
  PseudoTerminal line;
  int slave = -1;
  char name[256] = {};
  if (openpty(&line.master, &slave, name, nullptr, nullptr) != 0) {
    return Error::System("pseudo-terminal", errno);
  }
  makeRaw(line.master);
  makeRaw(slave);
  ::close(slave);
  fcntl(line.master, F_SETFL, fcntl(line.master, F_GETFL) | O_NONBLOCK);
  fcntl(line.master, F_SETFD, FD_CLOEXEC);
  line.devicePath = name;
  return line;
}

}  // namespace tvx
