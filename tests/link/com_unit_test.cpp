#include "link/com_unit.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <chrono>
#include <thread>

#include "i18n/ini_file.h"
#include "link/serial_transport.h"

namespace quibrel {
namespace {

using std::chrono::milliseconds;

// The far end of a pty: the test writes the scale's bytes here and reads what the PC sent.
class PtyPair {
 public:
  PtyPair() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    ::grantpt(master_);
    ::unlockpt(master_);
    path_ = QString::fromLocal8Bit(::ptsname(master_));
  }
  ~PtyPair() { ::close(master_); }
  const QString& path() const { return path_; }
  void Send(const QByteArray& bytes) const {
    ASSERT_EQ(::write(master_, bytes.constData(), bytes.size()), bytes.size());
  }
  QByteArray Receive(int wait_ms = 500) const {
    QByteArray got;
    pollfd pfd{master_, POLLIN, 0};
    while (::poll(&pfd, 1, wait_ms) > 0 && (pfd.revents & POLLIN)) {
      char buffer[4096];
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      got.append(buffer, n);
      wait_ms = 50;
    }
    return got;
  }
  // True once no one has the other end open any more.
  bool HungUp() const {
    pollfd pfd{master_, POLLIN, 0};
    return ::poll(&pfd, 1, 200) > 0 && (pfd.revents & POLLHUP);
  }

 private:
  int master_ = -1;
  QString path_;
};

// Short total limit to keep the suite quick; the 100 ms quiet gap stays as the scales use it.
CommTimeouts TestTimeouts() {
  CommTimeouts timeouts;
  timeouts.ReadTotalTimeoutConstant = 600;
  return timeouts;
}

std::uint8_t* Bytes(QByteArray& buffer) { return reinterpret_cast<std::uint8_t*>(buffer.data()); }

TEST(ComUnitTest, DeviceNamesDefaultToTtySAndFollowTerminalIni) {
  IniFile ini;
  ini.ParseText("[Serial]\nCOM3=/dev/ttyUSB0\ncom9 = /dev/pts/7\nCOM4=\n");
  const SerialDeviceMap map = ReadSerialDeviceMap(ini);
  EXPECT_EQ(map.Device(1), "/dev/ttyS0");
  EXPECT_EQ(map.Device(3), "/dev/ttyUSB0");
  EXPECT_EQ(map.Device(4), "/dev/ttyS3");
  EXPECT_EQ(map.Device(9), "/dev/pts/7");
}

TEST(ComUnitTest, WritesRawAndReadsBurstsSeparatedByQuiet) {
  PtyPair line;
  SerialDeviceMap map;
  map.Set(3, line.path());
  ComUnit com(map);
  com.SetTimeouts(TestTimeouts());
  com.ComPort = 3;
  ASSERT_TRUE(com.OpenComm(kCommQueueSize, kCommQueueSize, kCommBaud));

  // Raw both ways: CR, LF, XON/XOFF, NUL and 0xFF pass untouched.
  const QByteArray awkward = QByteArray::fromHex("f855ce0d0a1113007f ff 03 1a");
  EXPECT_EQ(com.SendCommBuff(reinterpret_cast<const std::uint8_t*>(awkward.constData()),
                             static_cast<int>(awkward.size())),
            awkward.size());
  EXPECT_EQ(line.Receive().toHex(), awkward.toHex());

  std::thread scale([&line, &awkward] {
    line.Send(awkward);
    std::this_thread::sleep_for(milliseconds(300));
    line.Send("second burst");
  });
  QByteArray buffer(kCommReadBlock, '\0');
  const int first = com.ReadCommBuff(Bytes(buffer));
  EXPECT_EQ(buffer.left(first).toHex(), awkward.toHex());
  const int second = com.ReadCommBuff(Bytes(buffer));
  EXPECT_EQ(buffer.left(second), "second burst");
  scale.join();

  // A silent line gives nothing once the total limit is over.
  EXPECT_EQ(com.ReadCommBuff(Bytes(buffer)), 0);
}

TEST(ComUnitTest, ReadStopsAt2000Bytes) {
  PtyPair line;
  SerialDeviceMap map;
  map.Set(1, line.path());
  ComUnit com(map);
  com.SetTimeouts(TestTimeouts());
  ASSERT_TRUE(com.OpenComm(kCommQueueSize, kCommQueueSize, kCommBaud));
  QByteArray flood(2600, 'z');
  flood[1999] = 'L';
  line.Send(flood);
  QByteArray buffer(kCommReadBlock, '\0');
  ASSERT_EQ(com.ReadCommBuff(Bytes(buffer)), 2000);
  EXPECT_EQ(buffer[1999], 'L');
  EXPECT_EQ(com.ReadCommBuff(Bytes(buffer)), 600);
}

TEST(ComUnitTest, OpeningASecondPortClosesTheFirst) {
  PtyPair com3, com5;
  SerialDeviceMap map;
  map.Set(3, com3.path());
  map.Set(5, com5.path());
  ComUnit com(map);
  com.SetTimeouts(TestTimeouts());
  com.ComPort = 3;
  ASSERT_TRUE(com.OpenComm(kCommQueueSize, kCommQueueSize, kCommBaud));
  EXPECT_FALSE(com3.HungUp());
  com.ComPort = 5;
  ASSERT_TRUE(com.OpenComm(kCommQueueSize, kCommQueueSize, kCommBaud));
  EXPECT_TRUE(com3.HungUp());
  EXPECT_EQ(com.OpenDevice(), com5.path());
  const std::uint8_t hello[] = {0xF8, 0x55, 0xCE, 0x01, 0x00, 0x80, 0x80, 0x00};
  com.SendCommBuff(hello, 8);
  EXPECT_EQ(com5.Receive().size(), 8);
  com.CloseComm();
  EXPECT_TRUE(com5.HungUp());
  EXPECT_FALSE(com.IsOpen());
  // Closed and reopened: the exclusive hold does not outlive the closing.
  ASSERT_TRUE(com.OpenComm(kCommQueueSize, kCommQueueSize, kCommBaud));
}

TEST(ComUnitTest, OpeningFails) {
  QTemporaryDir dir;
  const QString plain_file = dir.filePath("not-a-line");
  {
    QFile file(plain_file);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  PtyPair busy_line;
  SerialDeviceMap map;
  map.Set(1, dir.filePath("missing"));
  map.Set(2, plain_file);
  map.Set(3, busy_line.path());
  ComUnit other_program(map);
  other_program.ComPort = 3;
  ASSERT_TRUE(other_program.OpenComm(kCommQueueSize, kCommQueueSize, kCommBaud));

  struct Case {
    const char* name;
    int port;
  };
  const Case cases[] = {
      {"device missing", 1},
      {"not a serial line", 2},
      {"held by another program", 3},
  };
  for (const Case& c : cases) {
    ComUnit com(map);
    com.ComPort = static_cast<std::uint16_t>(c.port);
    EXPECT_FALSE(com.OpenComm(kCommQueueSize, kCommQueueSize, kCommBaud)) << c.name;
  }
  EXPECT_FALSE(QFile::exists(dir.filePath("missing")));

  PtyPair free_line;
  map.Set(4, free_line.path());
  ComUnit com(map);
  com.ComPort = 4;
  EXPECT_FALSE(com.OpenComm(kCommQueueSize, kCommQueueSize, 12345)) << "a rate no line has";
  EXPECT_FALSE(com.OpenComm(0, kCommQueueSize, kCommBaud)) << "no queue";
}

TEST(SerialTransportTest, PatientReadWaitsThroughEmptyReads) {
  PtyPair line;
  SerialDeviceMap map;
  map.Set(2, line.path());
  ComUnit com(map);
  CommTimeouts timeouts;
  timeouts.ReadTotalTimeoutConstant = 150;
  com.SetTimeouts(timeouts);
  com.ComPort = 2;
  ASSERT_TRUE(com.OpenComm(kCommQueueSize, kCommQueueSize, kCommBaud));
  SerialTransport serial(com, 1500);

  // Single read: the scale answers after the total limit, so it sees nothing.
  std::thread late([&line] {
    std::this_thread::sleep_for(milliseconds(500));
    line.Send("late reply");
  });
  EXPECT_TRUE(serial.ReadReply().isEmpty());
  // Patient read: goes on reading and gets it.
  EXPECT_EQ(serial.ReadPatientReply(), "late reply");
  late.join();
  // Nothing comes at all: it gives up empty.
  EXPECT_TRUE(serial.ReadPatientReply().isEmpty());
}

}  // namespace
}  // namespace quibrel
