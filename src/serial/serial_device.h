#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace tvx::platform {

// Line events a serial device reports (the bit values of the Windows comm-event mask).
inline constexpr unsigned kEvRxChar = 0x0001;  // a byte arrived
// The bytes written have left the driver's transmit queue.
inline constexpr unsigned kEvTxEmpty = 0x0004;
inline constexpr unsigned kEvCts = 0x0008;
inline constexpr unsigned kEvDsr = 0x0010;
inline constexpr unsigned kEvRlsd = 0x0020;  // carrier detect
inline constexpr unsigned kEvErr = 0x0080;   // a line error (see the kCe bits)
inline constexpr unsigned kEvRing = 0x0100;

// Line errors (the bit values of the Windows clear-error call).
inline constexpr unsigned kCeRxOver = 0x0001;    // receive queue overflow
inline constexpr unsigned kCeOverrun = 0x0002;   // hardware overrun
inline constexpr unsigned kCeRxParity = 0x0004;  // parity error
inline constexpr unsigned kCeFrame = 0x0008;     // framing error
inline constexpr unsigned kCeBreak = 0x0010;     // break
inline constexpr unsigned kCeTxFull = 0x0100;    // transmit queue full

// Modem status lines.
inline constexpr unsigned kMsCts = 0x10;
inline constexpr unsigned kMsDsr = 0x20;
inline constexpr unsigned kMsRing = 0x40;
inline constexpr unsigned kMsRlsd = 0x80;

struct SerialLineSettings {
  enum class Parity { None, Odd, Even };
  enum class InputHandshake { None, Rts, Dtr };

  unsigned baud = 9600;
  unsigned bitsPerByte = 8;
  Parity parity = Parity::None;
  bool twoStopBits = false;
  bool outputWatchesCts = false;
  bool outputWatchesDsr = false;
  InputHandshake inputHandshake = InputHandshake::None;
};

// Bits on the line for one character: start, data, parity, stop.
unsigned BitsPerCharacter(const SerialLineSettings& settings);

// What a failed open means to the user.
enum class SerialOpenError {
  None,
  NotFound,      // no such device (an adapter not plugged in)
  InUse,         // another program (or another open of this one) holds the port
  AccessDenied,  // the user may not open it
  NotATerminal,  // a file or device that is no serial port
  Other,
};

// How a write ended.
enum class SerialWriteStatus {
  Done,    // the driver took every byte
  Short,   // the write timeout ended it with bytes left over
  Failed,  // the system refused the write
  Lost,    // the device is gone (unplugged adapter, closed pseudo-terminal peer)
};

// What woke the worker.
struct SerialWakeup {
  bool terminate = false;  // the terminate signal is set (it stays set until resetTerminate)
  unsigned events = 0;     // CommEvent bits, only those of the event mask
  bool lineTimer = false;  // the line timer expired (it is disarmed again)
};

// One open serial device of the operating system. The owner (TCustomUart) calls open, the
// settings and write from the UI thread; its monitor thread calls waitForEvent, clearError,
// read and the line timer. write may also come from the monitor thread (text files), never
// from both at once. signalTerminate and write may run while the worker waits.
class SerialDevice {
 public:
  virtual ~SerialDevice() = default;

  virtual SerialOpenError open(const std::string& path, bool writeThrough) = 0;
  virtual bool isOpen() const = 0;
  // The wait objects of a monitor thread; answers the WaitObject bits of those that could not
  // be made (0 when all were).
  virtual unsigned createWaitObjects() = 0;
  virtual void destroyWaitObjects() = 0;
  virtual bool setQueueSizes(unsigned receiveBytes, unsigned transmitBytes) = 0;
  virtual bool configure(const SerialLineSettings& settings) = 0;
  // Write timeout for one write call (the driver's total write timeout).
  virtual bool setWriteTimeout(std::chrono::milliseconds timeout) = 0;
  virtual bool setEventMask(unsigned events) = 0;
  virtual bool setDtr(bool on) = 0;
  virtual bool setRts(bool on) = 0;
  // ModemLine bits; false when the device has no modem lines.
  virtual bool modemStatus(unsigned& lines) = 0;
  // Writes every byte or gives up at the write timeout; written receives what went out.
  virtual SerialWriteStatus write(const void* data, std::size_t bytes, std::size_t& written) = 0;
  // Discards unread input, and output still queued for the line so that closing does not wait
  // for it.
  virtual void purge() = 0;
  virtual bool close() = 0;
  // True once the device has gone away under an open handle.
  virtual bool lost() const = 0;

  // Worker side.
  virtual SerialWakeup waitForEvent() = 0;
  virtual void signalTerminate() = 0;
  virtual void resetTerminate() = 0;
  // Errors (CommError bits) since the last call, and the bytes waiting to be read.
  virtual void clearError(unsigned& errors, std::size_t& queuedBytes) = 0;
  // Reads what is there without waiting; -1 when the read failed.
  virtual long read(void* buffer, std::size_t bytes) = 0;
  virtual bool armLineTimer(std::chrono::milliseconds delay) = 0;
  virtual void disarmLineTimer() = 0;
};

inline constexpr unsigned kWaitTerminate = 1;
inline constexpr unsigned kWaitCommEvent = 2;
inline constexpr unsigned kWaitRead = 4;
inline constexpr unsigned kWaitTimer = 8;

using SerialDeviceFactory = std::function<std::unique_ptr<SerialDevice>()>;

// The device of this operating system (termios).
std::unique_ptr<SerialDevice> MakeSystemSerialDevice();

}  // namespace tvx::platform
