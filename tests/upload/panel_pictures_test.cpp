#include <gtest/gtest.h>

#include <QDir>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include "link/com_unit.h"
#include "link/emulator_process.h"
#include "link/scale_link.h"
#include "link/upload.h"
#include "link/upload_troubleshooting.h"
#include "scalefiles/scale_files.h"
#include "ui/message_panel.h"
#include "ui/panel_status_sink.h"
#include "upload/upload_fixture.h"

namespace quibrel {
namespace {

using testing::EmulatorProcess;
using testing::Pattern;

// The window's panel without the waits, so the upload runs at the speed of the line. When
// QUIBREL_PICTURES_DIR names a folder, the panel is saved there as it looks at each step.
class QuickPanelSink : public PanelStatusSink {
 public:
  using PanelStatusSink::PanelStatusSink;
  void Pause(int) override { PanelStatusSink::Pause(0); }
  void SetProgress(int done) override {
    PanelStatusSink::SetProgress(done);
    QProgressBar* bar = panel().ProgressBar();
    if (bar->isVisible() && done == bar->maximum() / 2) {
      progress_seen_at_half = bar->maximum();
      Save("upload-progress");
    }
  }
  void Save(const QString& name) {
    const QString dir = qEnvironmentVariable("QUIBREL_PICTURES_DIR");
    if (!dir.isEmpty()) panel().grab().save(QDir(dir).filePath(name + ".png"));
  }
  int progress_seen_at_half = 0;
};

class PanelPicturesTest : public testing::UploadTest {};

TEST_F(PanelPicturesTest, UploadMovesTheBarOnThePanel) {
  EmulatorProcess scale;
  ASSERT_TRUE(scale.ok()) << scale.failure().toStdString();
  AddScaleRow("Deli counter", "127.0.0.1", "Keypad 1");
  WriteExport(kGoodsFileName, Pattern(20 * 1024, 1));
  WriteExport(kTicketFileName, Pattern(100, 2));
  TMessagePanel panel;
  QuickPanelSink sink(panel);
  ScaleLink link;
  TcpTransport tcp(2000);
  UploadContext context{workspace(), link, sink, tcp, SharedComUnit(), scale.port()};
  EXPECT_EQ(TransmitFiles(context, {"127.0.0.1"}, {true}),
            std::vector<VisitOutcome>{VisitOutcome::kCompleted});
  // The goods file's bar counted its 20 blocks on the panel that showed the upload.
  EXPECT_EQ(sink.progress_seen_at_half, 20);
  EXPECT_TRUE(panel.isVisible());
  EXPECT_FALSE(panel.ProgressBar()->isVisible());
  EXPECT_TRUE(panel.Label()->text().startsWith("Uploading completed (Deli counter"));
  sink.Save("upload-completed");
}

TEST_F(PanelPicturesTest, TroubleShootingWaitsForCloseAndOffersHelp) {
  TMessagePanel panel;
  QuickPanelSink sink(panel);
  QSignalSpy help(&panel, &TMessagePanel::HelpRequested);
  bool was_modal = false;
  QTimer::singleShot(50, &panel, [&] {
    was_modal = panel.isVisible() && panel.HelpButton()->isVisible();
    sink.Save("troubleshooting");
    panel.HelpButton()->click();
    panel.CloseButton()->click();
  });
  ShowTroubleShooting(sink, workspace().MessageList, TroubleShootingFor::kUpload);
  EXPECT_TRUE(was_modal);
  ASSERT_EQ(help.count(), 1);
  EXPECT_EQ(help.at(0).at(0).toString(), "Tips\\Connection");
  EXPECT_FALSE(panel.isVisible());
  EXPECT_TRUE(workspace().MessageList.isEmpty());
}

}  // namespace
}  // namespace quibrel
