#include <QApplication>
#include <QImage>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

#include "i18n/ini_file.h"
#include "i18n/lang_text.h"
#include "ui/message_panel.h"
#include "ui/panel_status_sink.h"

namespace quibrel {
namespace {

// Pixel sizes the panel must reach, measured with its own font.
int LineWidth(const QString& line) {
  return QFontMetrics(TMessagePanel::PanelFont()).horizontalAdvance(line);
}
int LineHeight() { return QFontMetrics(TMessagePanel::PanelFont()).height(); }

struct SizeCase {
  const char* name;
  QStringList lines;
  QString widest;
};

class PanelSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(PanelSizeTest, IsWidestLinePlus20ByLineHeightsPlus2EachPlus20) {
  const SizeCase& c = GetParam();
  TMessagePanel panel;
  QStringList lines = c.lines;
  panel.ShowMessageWindow(100, 50, kProgressColour, Qt::black, Qt::AlignHCenter, false, lines);
  EXPECT_EQ(panel.width(), LineWidth(c.widest) + 20);
  EXPECT_EQ(panel.height(), static_cast<int>(c.lines.size()) * (LineHeight() + 2) + 20);
  // The text area fills the panel.
  EXPECT_EQ(panel.Label()->geometry(), panel.rect());
  EXPECT_TRUE(lines.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, PanelSizeTest,
    ::testing::Values(
        SizeCase{"ThreeLinesOfDifferentLengths",
                 {"Connecting...", "Sending the goods file to 192.168.1.20", "Done"},
                 "Sending the goods file to 192.168.1.20"},
        SizeCase{"WidestLineLast", {"a", "bb", "Ticket file making..."}, "Ticket file making..."},
        SizeCase{"EmptyListIsTwentyByTwenty", {}, ""},
        SizeCase{"BlankLineStillTakesALine", {"Scales not found...", ""}, "Scales not found..."},
        SizeCase{"Cyrillic", {"Сохранение базы данных...", "Готово"}, "Сохранение базы данных..."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MessagePanelTest, SecondCallWhileShownReplacesTextAndSize) {
  TMessagePanel panel;
  QStringList list{"Goods file making...", "and a second, rather longer line"};
  panel.ShowMessageWindow(100, 50, kProgressColour, Qt::black, Qt::AlignHCenter, false, list);
  ASSERT_TRUE(panel.isVisible());
  const QSize first = panel.size();

  list << "Done";
  panel.ShowMessageWindow(100, 50, kSuccessColour, Qt::black, Qt::AlignHCenter, false, list);
  EXPECT_TRUE(panel.isVisible());
  EXPECT_EQ(panel.Label()->text(), "Done");
  EXPECT_EQ(panel.Label()->Background(), kSuccessColour);
  EXPECT_NE(panel.size(), first);
  EXPECT_EQ(panel.size(), QSize(LineWidth("Done") + 20, LineHeight() + 2 + 20));
  EXPECT_TRUE(list.isEmpty());

  // Nothing added since: the list was emptied by the call, so the panel shrinks to its margins.
  panel.ShowMessageWindow(100, 50, kFailureColour, Qt::black, Qt::AlignHCenter, false, list);
  EXPECT_EQ(panel.size(), QSize(20, 20));
  EXPECT_TRUE(panel.isVisible());

  panel.HideMessageWindow();
  EXPECT_FALSE(panel.isVisible());
}

TEST(MessagePanelTest, LinesAreJoinedByCrLfWithoutATrailingBreak) {
  TMessagePanel panel;
  QStringList list{"one", "two", "three"};
  panel.ShowMessageWindow(100, 50, kProgressColour, Qt::black, Qt::AlignHCenter, false, list);
  EXPECT_EQ(panel.Label()->text(), "one\r\ntwo\r\nthree");
}

TEST(MessagePanelTest, PanelIsCentredBorderlessOnTopAndTranslucent) {
  TMessagePanel panel;
  QStringList list{"Saving database..."};
  panel.ShowMessageWindow(100, 50, kSuccessColour, Qt::black, Qt::AlignHCenter, false, list);
  const QRect screen = panel.screen()->availableGeometry();
  EXPECT_LE(std::abs(panel.geometry().center().x() - screen.center().x()), 1);
  EXPECT_LE(std::abs(panel.geometry().center().y() - screen.center().y()), 1);
  EXPECT_TRUE(panel.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(panel.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_NEAR(panel.windowOpacity(), 210.0 / 255.0, 0.01);
  // The caller goes on working while the message stands.
  EXPECT_FALSE(panel.isModal());
  EXPECT_FALSE(panel.CloseButton()->isVisible());
  EXPECT_FALSE(panel.HelpButton()->isVisible());
}

// The dark pixels of the painted text: the first and last column that holds one.
std::pair<int, int> InkColumns(const QImage& image) {
  int first = image.width();
  int last = -1;
  // Skip the frame: only the inside of the text area counts.
  for (int y = 3; y < image.height() - 3; ++y) {
    for (int x = 3; x < image.width() - 3; ++x) {
      if (qGray(image.pixel(x, y)) < 80) {
        first = std::min(first, x);
        last = std::max(last, x);
      }
    }
  }
  return {first, last};
}

TEST(MessagePanelTest, ShortLineFollowsTheAlignment) {
  struct Case {
    Qt::Alignment alignment;
    const char* name;
  };
  for (const Case& c : {Case{Qt::AlignLeft, "left"}, Case{Qt::AlignRight, "right"},
                        Case{Qt::AlignHCenter, "centre"}}) {
    SCOPED_TRACE(c.name);
    TMessagePanel panel;
    // The long line sets the width; the short one shows where the alignment puts a line.
    QStringList list{"WWWWWWWWWWWWWWWWWWWW", "I"};
    panel.ShowMessageWindow(100, 50, kFailureColour, Qt::black, c.alignment, false, list);
    const QImage image = panel.Label()->grab().toImage();
    const int second_line_top = 10 + LineHeight() + 2;
    const QImage second = image.copy(0, second_line_top, image.width(), LineHeight());
    const auto [first, last] = InkColumns(second);
    ASSERT_LE(first, last);
    const int centre = (first + last) / 2;
    if (c.alignment == Qt::AlignLeft) {
      EXPECT_LT(centre, image.width() / 4);
    } else if (c.alignment == Qt::AlignRight) {
      EXPECT_GT(centre, image.width() * 3 / 4);
    } else {
      EXPECT_LE(std::abs(centre - image.width() / 2), 3);
    }
  }
}

TEST(MessagePanelTest, TextAreaIsPaintedInTheGivenColour) {
  for (const QColor& colour : {kProgressColour, kFailureColour, kSuccessColour}) {
    TMessagePanel panel;
    QStringList list{"x"};
    panel.ShowMessageWindow(100, 50, colour, Qt::black, Qt::AlignHCenter, false, list);
    const QImage image = panel.Label()->grab().toImage();
    // Inside the frame, clear of the text.
    EXPECT_EQ(QColor(image.pixel(3, image.height() / 2)), colour);
    // The frame is black.
    EXPECT_LT(qGray(image.pixel(image.width() / 2, 0)), 60);
  }
}

// A language file with its own button captions and connection tips topic.
class ModalPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    QFile file(dir_.filePath("Lang.dat"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "[Message]\nCloseButton=Закрыть\nHelpButton=Справка\n"
        "[Help]\nTipsConnection=Tips\\Network\n");
    file.close();
    lang_ = IniFile(dir_.filePath("Lang.dat"));
    SetActiveLangFile(&lang_);
  }
  void TearDown() override { SetActiveLangFile(nullptr); }

  QTemporaryDir dir_;
  IniFile lang_;
};

TEST_F(ModalPanelTest, HelpLeavesThePanelOpenAndCloseReturns) {
  const QStringList lines{"Scales not found...", "", "Possible reasons:",
                          "1. The scales is switched off"};
  TMessagePanel plain;
  QStringList copy = lines;
  plain.ShowMessageWindow(100, 50, kFailureColour, Qt::black, Qt::AlignLeft, false, copy);
  const int plain_height = plain.height();
  const int plain_text_top = plain.Label()->TextTop();
  plain.HideMessageWindow();

  TMessagePanel panel;
  QStringList topics;
  QObject::connect(&panel, &TMessagePanel::HelpRequested,
                   [&](const QString& topic) { topics << topic; });
  QStringList list = lines;
  bool checked = false;
  QTimer::singleShot(0, [&] {
    EXPECT_TRUE(panel.isVisible());
    EXPECT_TRUE(panel.isModal());
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(panel.height(), plain_height + 30);
    EXPECT_EQ(panel.Label()->TextTop(), 10);
    EXPECT_TRUE(panel.Label()->TextAtTop());
    EXPECT_TRUE(panel.CloseButton()->isVisible());
    EXPECT_TRUE(panel.HelpButton()->isVisible());
    EXPECT_EQ(panel.CloseButton()->text(), "Закрыть");
    EXPECT_EQ(panel.HelpButton()->text(), "Справка");
    EXPECT_EQ(panel.CloseButton()->width(), 105);
    EXPECT_EQ(panel.HelpButton()->width(), 105);
    // Help at the bottom left, Close at the bottom right, both under the text.
    EXPECT_LT(panel.HelpButton()->x(), panel.CloseButton()->x());
    EXPECT_EQ(panel.CloseButton()->geometry().right(), panel.width() - 11);
    EXPECT_GT(panel.HelpButton()->y(), 10 + 4 * (LineHeight() + 2));

    panel.HelpButton()->click();
    EXPECT_EQ(topics, QStringList{"Tips\\Network"});
    EXPECT_TRUE(panel.isVisible());
    checked = true;
    panel.CloseButton()->click();
  });
  panel.ShowMessageWindow(100, 50, kFailureColour, Qt::black, Qt::AlignLeft, true, list);

  EXPECT_TRUE(checked);
  EXPECT_FALSE(panel.isVisible());
  EXPECT_TRUE(list.isEmpty());
  // Without buttons the centred text also starts at the margin; with the 30 extra pixels centring
  // would have put it 15 lower, so the modal top above is the top, not the centre.
  EXPECT_EQ(plain_text_top, 10);
  // A later message without buttons hides the buttons again and centres the text.
  QStringList next{"Connecting..."};
  panel.ShowMessageWindow(100, 50, kProgressColour, Qt::black, Qt::AlignHCenter, false, next);
  EXPECT_FALSE(panel.CloseButton()->isVisible());
  EXPECT_FALSE(panel.Label()->TextAtTop());
  EXPECT_EQ(panel.height(), LineHeight() + 2 + 20);
}

TEST(MessagePanelTest, ProgressBarIsHiddenUntilShownAlongTheBottomEdge) {
  TMessagePanel panel;
  QStringList list{"Uploading goods file to 10.0.0.7", "please wait"};
  panel.ShowMessageWindow(100, 50, kProgressColour, Qt::black, Qt::AlignHCenter, false, list);
  EXPECT_FALSE(panel.ProgressBar()->isVisible());
  EXPECT_EQ(panel.ProgressBar()->objectName(), "ProgressBar1");

  panel.ShowProgress(40);
  EXPECT_TRUE(panel.ProgressBar()->isVisible());
  EXPECT_EQ(panel.ProgressBar()->geometry(),
            QRect(10, panel.height() - 10, panel.width() - 20, 8));
  EXPECT_EQ(panel.ProgressBar()->maximum(), 40);
  EXPECT_EQ(panel.ProgressBar()->value(), 0);
  panel.SetProgress(25);
  EXPECT_EQ(panel.ProgressBar()->value(), 25);
  panel.HideProgress();
  EXPECT_FALSE(panel.ProgressBar()->isVisible());
}

TEST(PanelStatusSinkTest, PauseKeepsTheEventLoopTurning) {
  TMessagePanel panel;
  PanelStatusSink sink(panel);
  bool fired = false;
  QTimer::singleShot(1, [&] { fired = true; });
  sink.Pause(200);
  EXPECT_TRUE(fired);
}

TEST(PanelStatusSinkTest, ShowLineReachesThePanel) {
  TMessagePanel panel;
  PanelStatusSink sink(panel);
  sink.ShowLine("Base not found", kFailureColour);
  EXPECT_TRUE(panel.isVisible());
  EXPECT_EQ(panel.Label()->text(), "Base not found");
  EXPECT_EQ(panel.Label()->Background(), kFailureColour);
  sink.HideMessageWindow();
  EXPECT_FALSE(panel.isVisible());
}

}  // namespace
}  // namespace quibrel
