#include <cstdio>
#include <gtest/gtest.h>

#include "cli/cli_status_sink.h"

namespace quibrel {
namespace {

// What the sink wrote, read back from a stream in memory.
class CliStatusSinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    out_ = open_memstream(&buffer_, &size_);
    ASSERT_NE(out_, nullptr);
  }
  void TearDown() override {
    if (out_ != nullptr) std::fclose(out_);
    std::free(buffer_);
  }
  QString Written() {
    std::fflush(out_);
    return QString::fromUtf8(buffer_, static_cast<qsizetype>(size_));
  }

  std::FILE* out_ = nullptr;
  char* buffer_ = nullptr;
  size_t size_ = 0;
};

TEST_F(CliStatusSinkTest, PrintsEveryMessageLineByLineAndEmptiesTheList) {
  CliStatusSink sink(out_);
  QStringList list{"Connecting...", "192.168.1.20"};
  sink.ShowMessageWindow(100, 50, kProgressColour, Qt::black, Qt::AlignHCenter, false, list);
  EXPECT_TRUE(list.isEmpty());
  sink.Pause(1000);
  sink.ShowLine("Сохранение базы данных...", kSuccessColour);
  sink.HideMessageWindow();
  // Nothing new in the list: nothing printed.
  sink.ShowMessageWindow(100, 50, kFailureColour, Qt::black, Qt::AlignHCenter, false, list);
  EXPECT_EQ(Written(), "Connecting...\n192.168.1.20\nСохранение базы данных...\n");
}

TEST_F(CliStatusSinkTest, ModalFormPrintsItsLinesAndReturns) {
  CliStatusSink sink(out_);
  QStringList list{"Scales not found...", "", "Possible reasons:"};
  sink.ShowMessageWindow(100, 50, kFailureColour, Qt::black, Qt::AlignLeft, true, list);
  EXPECT_TRUE(list.isEmpty());
  EXPECT_EQ(Written(), "Scales not found...\n\nPossible reasons:\n");
}

}  // namespace
}  // namespace quibrel
