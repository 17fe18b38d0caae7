#pragma once

namespace tvx::platform {

// Sets any rate on a terminal device (after its other settings are in place).
bool SetCustomBaud(int fd, unsigned baud);

}  // namespace tvx::platform
