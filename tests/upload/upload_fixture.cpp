#include "upload/upload_fixture.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>

#include "db/goods_base.h"
#include "db/money_format.h"

namespace quibrel::testing {

QByteArray Pattern(int size, int seed) {
  QByteArray bytes(size, '\0');
  for (int i = 0; i < size; ++i)
    bytes[i] = static_cast<char>((i * 7 + i / 1024 * 13 + seed) & 0xFF);
  return bytes;
}

QByteArray FromHex(const char* hex) { return QByteArray::fromHex(QByteArray(hex)); }

PutFrame ParsePut(const QByteArray& frame) {
  PutFrame put;
  if (frame.size() < 13 || static_cast<std::uint8_t>(frame[5]) != kCmdPutBlock) return put;
  put.type = static_cast<std::uint8_t>(frame[6]);
  put.count = GetU16(frame, 7);
  put.number = GetU16(frame, 9);
  put.n = GetU16(frame, 11);
  return put;
}

QStringList FrameKinds(const std::vector<QByteArray>& frames) {
  QStringList kinds;
  for (const QByteArray& frame : frames) {
    if (frame.size() > 5 && static_cast<std::uint8_t>(frame[5]) == kCmdHello) {
      kinds << "hello";
    } else if (const PutFrame put = ParsePut(frame); put.type >= 0) {
      kinds << QString::number(put.type);
    } else {
      kinds << "other";
    }
  }
  return kinds;
}

PtyScale::PtyScale(std::function<QByteArray(const QByteArray&)> answer)
    : answer_(std::move(answer)) {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
  path_ = QString::fromLocal8Bit(::ptsname(master_));
  // Held open (and raw, so nothing echoes) so that the line lives between the PC's openings.
  slave_ = ::open(path_.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
  termios tio{};
  ::tcgetattr(slave_, &tio);
  ::cfmakeraw(&tio);
  ::tcsetattr(slave_, TCSANOW, &tio);
  thread_ = std::thread([this] { Run(); });
}

PtyScale::~PtyScale() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  if (thread_.joinable()) thread_.join();
  if (slave_ >= 0) ::close(slave_);
  if (master_ >= 0) ::close(master_);
}

std::vector<QByteArray> PtyScale::frames() const {
  std::lock_guard lock(mutex_);
  return frames_;
}

void PtyScale::Run() {
  QByteArray pending;
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (stop_) return;
    }
    pollfd pfd{master_, POLLIN, 0};
    if (::poll(&pfd, 1, 10) <= 0 || !(pfd.revents & POLLIN)) continue;
    char buffer[4096];
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n <= 0) continue;
    pending.append(buffer, n);
    for (;;) {
      const qsizetype lead = pending.indexOf("\xF8\x55\xCE");
      if (lead < 0 || pending.size() - lead < kFrameHeaderLength) break;
      pending.remove(0, lead);
      const int total = GetU16(pending, 3) + kFrameHeaderLength + 2;
      if (pending.size() < total) break;
      const QByteArray frame = pending.left(total);
      pending.remove(0, total);
      {
        std::lock_guard lock(mutex_);
        frames_.push_back(frame);
      }
      const QByteArray reply = answer_(frame);
      if (!reply.isEmpty()) (void)::write(master_, reply.constData(), reply.size());
    }
  }
}

void UploadTest::SetUp() {
  folder_.WriteFile("System/terminal.ini", "[Global]\r\nLanguage=ENG\r\n");
  workspace_ = std::make_unique<Workspace>(folder_.folder());
  workspace_->OpenSettingsAndBase();
  workspace_->language().Select(workspace_->IniFileRef());
  workspace_->flRefresh = true;
}

void UploadTest::TearDown() { workspace_.reset(); }

void UploadTest::AddScaleRow(const QString& name, const QString& ip, const QVariant& keypad) {
  RowSet& scales = base().Scales();
  scales.Append();
  scales.SetFieldValue("Name", name);
  scales.SetFieldValue("IP", ip);
  scales.SetFieldValue("Keypad", keypad);
  ASSERT_TRUE(scales.Post());
}

void UploadTest::AddGoods(qint64 plu, const QString& name, const QString& price) {
  RowSet& goods = base().Goods();
  goods.Append();
  goods.SetFieldValue("PLU", plu);
  goods.SetFieldValue("ZirkName1", name);
  goods.SetFieldValue("Type", "Weight");
  goods.SetFieldValue("Price", price);
  goods.SetFieldValue("ZirkDuringDate", 0);
  ASSERT_TRUE(goods.Post());
}

void UploadTest::SetKey(int layout, int key, int plu) {
  RowSet& keys = base().Keys();
  ASSERT_TRUE(keys.Locate("ID", layout * 100 + key));
  keys.SetFieldValue("PLU", plu);
  ASSERT_TRUE(keys.Post());
}

QStringList UploadTest::ShownLines() const {
  QStringList lines;
  for (const RecordingStatusSink::Call& call : status_.Shows()) {
    const QString colour = call.background == kProgressColour  ? "progress"
                           : call.background == kFailureColour ? "failure"
                           : call.background == kSuccessColour ? "success"
                                                               : call.background.name();
    lines << call.lines.join('/') + "|" + colour;
  }
  return lines;
}

}  // namespace quibrel::testing
