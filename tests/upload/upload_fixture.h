#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <thread>
#include <vector>

#include "link/frame.h"
#include "link/tcp_transport.h"
#include "support/recording_status_sink.h"
#include "support/temp_program_folder.h"
#include "workspace/workspace.h"

// Readable failure messages for texts and lists of texts.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* out) {
  *out << '{' << texts.join("\", \"").prepend('"').append('"').toStdString() << '}';
}

namespace quibrel::testing {

// Bytes that differ from block to block, so a block sent twice or out of place shows.
QByteArray Pattern(int size, int seed);
QByteArray FromHex(const char* hex);

// The fields of a PutBlock frame.
struct PutFrame {
  int type = -1;  // -1: not a PutBlock
  int count = 0;
  int number = 0;
  int n = 0;
};
PutFrame ParsePut(const QByteArray& frame);
// Command code of each frame, with the file type for PutBlock: "hello", "1", "9", "6"...
QStringList FrameKinds(const std::vector<QByteArray>& frames);

// The TCP client of a command that also keeps every frame it wrote.
class RecordingTcp : public TcpTransport {
 public:
  using TcpTransport::TcpTransport;
  void Write(const QByteArray& frame) override {
    frames.push_back(frame);
    TcpTransport::Write(frame);
  }
  std::vector<QByteArray> frames;
};

// A scale on a pty whose answers the test writes: answer gets each request frame and returns
// the reply (empty: stay silent). Keeps the frames it got, in order.
class PtyScale {
 public:
  explicit PtyScale(std::function<QByteArray(const QByteArray&)> answer);
  ~PtyScale();
  const QString& path() const { return path_; }
  std::vector<QByteArray> frames() const;

 private:
  void Run();

  std::function<QByteArray(const QByteArray&)> answer_;
  int master_ = -1;
  int slave_ = -1;
  QString path_;
  mutable std::mutex mutex_;
  std::vector<QByteArray> frames_;
  bool stop_ = false;
  std::thread thread_;
};

// A program folder with its goods base open and the English texts; scales rows and export files
// are set by each test.
class UploadTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  Workspace& workspace() { return *workspace_; }
  GoodsBase& base() { return workspace_->base(); }
  TempProgramFolder& folder() { return folder_; }

  void AddScaleRow(const QString& name, const QString& ip, const QVariant& keypad);
  void WriteExport(const QString& name, const QByteArray& bytes) {
    folder_.WriteFile("Export/" + name, bytes);
  }
  QByteArray ReadExport(const QString& name) { return folder_.ReadFile("Export/" + name); }
  void AddGoods(qint64 plu, const QString& name, const QString& price);
  void SetKey(int layout, int key, int plu);

  // The lines shown, each with its colour: "line|progress", "line|failure", "line|success".
  QStringList ShownLines() const;

  TempProgramFolder folder_;
  std::unique_ptr<Workspace> workspace_;
  RecordingStatusSink status_;
};

}  // namespace quibrel::testing
