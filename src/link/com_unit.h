#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

namespace quibrel {

class IniFile;

// Which device each of the names COM1..COM9 opens. By default COMn is /dev/ttyS(n-1);
// terminal.ini [Serial] COMn=DEVICE names another device (a USB adapter, a pty for tests).
struct SerialDeviceMap {
  std::array<QString, 10> devices;  // index 1..9; index 0 unused

  SerialDeviceMap();
  const QString& Device(int com_port) const { return devices.at(com_port); }
  void Set(int com_port, const QString& device) { devices.at(com_port) = device; }
};

// The default map with the [Serial] COM1..COM9 entries of terminal.ini applied (empty values
// keep the default).
SerialDeviceMap ReadSerialDeviceMap(const IniFile& terminal_ini);

// The port's time-outs, in the meaning of the Windows serial time-outs that the scales were built
// for. Tests shorten them to keep the suite quick.
struct CommTimeouts {
  int ReadIntervalTimeout = 100;        // a read ends when the line is quiet this long after a byte
  int ReadTotalTimeoutConstant = 5000;  // a read ends after this long in all (0 bytes if none)
  int WriteTotalTimeoutMultiplier = 2;  // a write of k bytes may take k * this + the constant
  int WriteTotalTimeoutConstant = 2;
};

inline constexpr int kCommReadBlock = 2000;   // every read asks for this many bytes
inline constexpr int kCommQueueSize = 100000;  // the driver queues all callers ask for
inline constexpr int kCommBaud = 57600;

// The serial port module: one port open at a time, 8N1 raw at the caller's baud rate, DTR raised,
// RTS toggled around sending where the driver offers RS-485 mode (otherwise left raised), no
// flow control. Not thread-safe by itself: whoever opens a port holds SerialPortLock() until it
// has closed it (the discovery probe and the serial visits both do).
//
//   ComUnit& com = SharedComUnit();
//   std::lock_guard lock(SerialPortLock());
//   com.ComPort = 3;
//   if (com.OpenComm(kCommQueueSize, kCommQueueSize, kCommBaud)) { ...; com.CloseComm(); }
class ComUnit {
 public:
  explicit ComUnit(SerialDeviceMap map = {});
  ~ComUnit();
  ComUnit(const ComUnit&) = delete;
  ComUnit& operator=(const ComUnit&) = delete;

  // The port number 1..9 that the next OpenComm opens.
  std::uint16_t ComPort = 1;

  void SetDeviceMap(const SerialDeviceMap& map) { CPort = map; }
  const SerialDeviceMap& DeviceMap() const { return CPort; }
  // Takes effect at the next OpenComm (or SetCommTiming).
  void SetTimeouts(const CommTimeouts& timeouts) { timeouts_ = timeouts; }
  const CommTimeouts& Timeouts() const { return timeouts_; }

  // Closes the open port if any, opens the device of ComPort for reading and writing, exclusively
  // (another program holding it makes this fail), and applies SetCommTiming, SetCommBuffer and
  // SetCommStatus in that order. True when all of it worked. A port whose settings failed stays
  // open until the next OpenComm or CloseComm. Bytes waiting on the line are dropped.
  bool OpenComm(int InQueue, int OutQueue, int Baud);
  // Applies the time-outs to the open port; false when none is open.
  bool SetCommTiming();
  // Checks the driver queue sizes. The kernel's tty queues are fixed (4 KiB and more), which
  // holds the largest frame and reply; sizes not above 0 are refused.
  bool SetCommBuffer(int InQueue, int OutQueue);
  // Applies the line settings with the given baud rate; false when the device refuses them or
  // is not a serial line.
  bool SetCommStatus(int Baud);
  // Writes the first num bytes of buf within the write time limit; returns the count written.
  int SendCommBuff(const std::uint8_t* buf, int num);
  // Reads up to 2000 bytes into Buf (which holds at least 2000): returns when 2000 have come, when
  // the line has been quiet ReadIntervalTimeout ms after a byte, or after
  // ReadTotalTimeoutConstant ms in all. Returns the count (0 when nothing came or no port is open).
  int ReadCommBuff(std::uint8_t* Buf);
  // Closes the port; harmless when none is open.
  void CloseComm();

  bool IsOpen() const { return Com >= 0; }
  // The device path of the open port (empty when none).
  const QString& OpenDevice() const { return open_device_; }

 private:
  SerialDeviceMap CPort;
  CommTimeouts timeouts_;
  int Com = -1;  // file descriptor of the open port
  QString open_device_;
  std::array<std::uint8_t, kCommReadBlock> read_buffer_{};
};

// The program's one serial port module, shared by the start-up survey, the discovery probes and
// the serial visits (always under SerialPortLock()). Configure its device map once at start-up,
// before the survey: SharedComUnit().SetDeviceMap(ReadSerialDeviceMap(ini)).
ComUnit& SharedComUnit();

}  // namespace quibrel
