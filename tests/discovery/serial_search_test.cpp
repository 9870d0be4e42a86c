#include "discovery/serial_search.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <QFile>
#include <atomic>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>

#include "link/com_unit.h"
#include "support/temp_program_folder.h"
#include "workspace/workspace.h"

namespace quibrel {
namespace {

using ::testing::ElementsAre;

// A serial line whose far end is a scale that answers each request with reply_length bytes
// (family code at 16), or stays silent when reply_length is 0.
class PtyScale {
 public:
  explicit PtyScale(int reply_length) : reply_length_(reply_length) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
    path_ = QString::fromLocal8Bit(::ptsname(master_));
    thread_ = std::thread([this] { Serve(); });
  }
  ~PtyScale() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (master_ >= 0) ::close(master_);
  }
  const QString& path() const { return path_; }
  int requests() const { return requests_; }

 private:
  void Serve() {
    QByteArray request;
    while (!stop_) {
      pollfd poller{master_, POLLIN, 0};
      if (::poll(&poller, 1, 20) <= 0 || !(poller.revents & POLLIN)) continue;
      char buffer[256];
      const ssize_t got = ::read(master_, buffer, sizeof buffer);
      if (got <= 0) continue;
      request.append(buffer, static_cast<int>(got));
      if (request.size() < 8) continue;
      request.clear();
      ++requests_;
      if (reply_length_ == 0) continue;
      QByteArray reply(reply_length_, '\0');
      reply[16] = '\x02';
      (void)!::write(master_, reply.constData(), reply.size());
    }
  }

  int reply_length_;
  int master_ = -1;
  QString path_;
  std::atomic<bool> stop_{false};
  std::atomic<int> requests_{0};
  std::thread thread_;
};

// Port module whose COM1..COM9 are missing devices except the given ones.
ComUnit& Ports(ComUnit& com, const std::map<int, QString>& present) {
  SerialDeviceMap map;
  for (int n = 1; n <= 9; ++n) map.Set(n, "/nonexistent/quibrel-tty" + QString::number(n));
  for (const auto& [n, path] : present) map.Set(n, path);
  com.SetDeviceMap(map);
  CommTimeouts quick;
  quick.ReadTotalTimeoutConstant = 300;
  com.SetTimeouts(quick);
  return com;
}

TEST(SerialSearchTest, SurveyListsAndLogsThePortsThatOpen) {
  PtyScale three(34);
  PtyScale seven(0);
  ASSERT_FALSE(three.path().isEmpty());
  testing::TempProgramFolder folder;
  Workspace workspace(folder.folder());
  workspace.log().Reset();
  ComUnit com;
  SurveySerialPorts(workspace, Ports(com, {{7, seven.path()}, {3, three.path()}}));
  EXPECT_THAT(workspace.COMList, ElementsAre("3", "7"));
  const QByteArray log = folder.ReadFile("ZirkLog.txt");
  EXPECT_TRUE(log.contains("Found physical COM3")) << log.constData();
  EXPECT_TRUE(log.contains("Found physical COM7"));
  EXPECT_EQ(log.count('\n'), 2);
  EXPECT_FALSE(com.IsOpen());
}

TEST(SerialSearchTest, ProbeSendsDiscoverAndReturnsWhatOneReadBrought) {
  PtyScale answering(34);
  PtyScale silent(0);
  ComUnit com;
  const SerialProbe probe = ComUnitProbe(Ports(com, {{2, answering.path()}, {5, silent.path()}}));
  const auto reply = probe(2);
  ASSERT_TRUE(reply.has_value());
  EXPECT_EQ(reply->size(), 34);
  EXPECT_EQ(reply->at(16), '\x02');
  const auto nothing = probe(5);
  ASSERT_TRUE(nothing.has_value());
  EXPECT_TRUE(nothing->isEmpty());
  EXPECT_EQ(silent.requests(), 1);
  EXPECT_FALSE(probe(4).has_value());
  EXPECT_FALSE(com.IsOpen());
}

TEST(SerialSearchTest, ListedAddressesKeepIPv4EntriesAndReportTheRest) {
  QStringList rejected;
  EXPECT_THAT(ParseListedAddresses(" 10.1.2.3, ,127.0.0.2,scale.local,::1,10.1.2.300", &rejected),
              ElementsAre("10.1.2.3", "127.0.0.2"));
  EXPECT_THAT(rejected, ElementsAre("scale.local", "::1", "10.1.2.300"));
}

}  // namespace
}  // namespace quibrel
