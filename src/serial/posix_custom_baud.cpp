// Rates that have no Bxxx constant go through termios2 (BOTHER). Kept apart: the kernel's
// termios structures clash with the C library's.
#include "serial/posix_custom_baud.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace tvx::platform {

bool SetCustomBaud(int fd, unsigned baud) {
  struct termios2 settings {};
  if (ioctl(fd, TCGETS2, &settings) != 0) {
    return false;
  }
  settings.c_cflag &= ~CBAUD;
  settings.c_cflag |= BOTHER;
  settings.c_ispeed = baud;
  settings.c_ospeed = baud;
  settings.c_cflag &= ~(CBAUD << IBSHIFT);
  settings.c_cflag |= BOTHER << IBSHIFT;
  return ioctl(fd, TCSETS2, &settings) == 0;
}

}  // namespace tvx::platform
