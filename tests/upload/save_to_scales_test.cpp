#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "discovery/scales_thread.h"
#include "link/emulator_process.h"
#include "scalefiles/scale_files.h"
#include "ui/exchange_commands.h"
#include "ui/goods_page.h"
#include "ui/keypad_page.h"
#include "ui/main_window.h"
#include "ui/scales_form.h"
#include "upload/upload_fixture.h"

namespace quibrel {
namespace {

using testing::EmulatorProcess;
using testing::RecordingStatusSink;

// A search that needs no network: no interfaces, no serial ports, and the emulator (when given)
// asked by unicast.
ScalesSearchOptions QuietSearch(quint16 port, QStringList addresses) {
  ScalesSearchOptions options;
  options.interfaces = [] { return QList<InterfaceRecord>(); };
  options.local_ip = [] { return QStringLiteral("127.0.0.1"); };
  options.port = port;
  options.listen_window = std::chrono::milliseconds(300);
  options.listed_addresses = std::move(addresses);
  options.max_cycles = 1;
  return options;
}

// Records, at every pause, whether the exchange buttons could be pressed.
class WatchingSink : public RecordingStatusSink {
 public:
  void Pause(int milliseconds) override {
    RecordingStatusSink::Pause(milliseconds);
    if (watch) watch();
  }
  std::function<void()> watch;
};

class SaveToScalesTest : public testing::UploadTest {
 protected:
  void SetUp() override {
    UploadTest::SetUp();
    form_ = std::make_unique<TScalesForm>(base());
    commands_ = std::make_unique<ExchangeCommands>(workspace(), thread_, *form_, sink_);
    commands_->SetErrorBox([this](const QString& text) { errors_ << text; });
    commands_->Attach(window_);
  }
  void TearDown() override {
    commands_.reset();
    form_.reset();
    thread_.StopScalesSearch();
    UploadTest::TearDown();
  }

  QToolButton* GoodsButton() { return window_.BaseSheet()->TransmitProductsButton(); }
  QToolButton* KeypadButton() { return window_.KeysSheet()->TransmitKeypadButton(); }

  // Runs one search cycle and lets Timer1 see it.
  void SearchOnce(quint16 port, const QStringList& addresses) {
    thread_.StartScalesSearch(QuietSearch(port, addresses));
    ASSERT_EQ(thread_.WaitForCycles(1, std::chrono::seconds(20)), 1);
    QTRY_VERIFY_WITH_TIMEOUT(GoodsButton()->isEnabled(), 5000);
  }

  // When the selection dialog shows: act on it.
  void WhenDialogShows(std::function<void(TScalesForm&)> act) {
    auto* poll = new QTimer(form_.get());
    QObject::connect(poll, &QTimer::timeout, form_.get(), [this, poll, act] {
      if (!form_->isVisible()) return;
      poll->stop();
      poll->deleteLater();
      act(*form_);
    });
    poll->start(10);
  }

  QStringList SinkLines() const {
    QStringList lines;
    for (const auto& call : sink_.Shows()) lines << call.lines.join('/');
    return lines;
  }

  MainWindow window_;
  TScalesThread thread_;
  WatchingSink sink_;
  std::unique_ptr<TScalesForm> form_;
  std::unique_ptr<ExchangeCommands> commands_;
  QStringList errors_;
};

TEST_F(SaveToScalesTest, ButtonsWaitForTheFirstSearchCycle) {
  EXPECT_FALSE(GoodsButton()->isEnabled());
  EXPECT_FALSE(KeypadButton()->isEnabled());
  QTest::qWait(1200);  // Timer1 has fired twice; no cycle has ended
  EXPECT_FALSE(GoodsButton()->isEnabled());
  EXPECT_TRUE(commands_->Timer1()->isActive());

  SearchOnce(0, {});
  EXPECT_TRUE(KeypadButton()->isEnabled());
  EXPECT_FALSE(commands_->Timer1()->isActive());
}

TEST_F(SaveToScalesTest, NoScaleKnownShowsTheTroubleShootingPanel) {
  SearchOnce(0, {});
  bool search_held = false;
  sink_.on_modal = [&](const RecordingStatusSink::Call&) { search_held = !thread_.NeedToSearch(); };
  KeypadButton()->click();

  const auto shows = sink_.Shows();
  ASSERT_EQ(shows.size(), 1u);
  EXPECT_TRUE(shows[0].modal);
  EXPECT_EQ(shows[0].background, kFailureColour);
  EXPECT_EQ(shows[0].alignment, Qt::AlignLeft);
  EXPECT_EQ(
      shows[0].lines,
      (QStringList{"Scales not found...", "", "Possible reasons:", "1. The scales is switched off",
                   "2. Bad connection cable", "3. For connection via COM-port:",
                   "- COM-port mode is not in \"Computer\" in the scales settings",
                   "- COM-port is switched off", "4. For connection via Ethernet:",
                   "- scales ethernet settings is not compatible with PC network settings",
                   "- data exchange is blocked by the firewall"}));
  EXPECT_TRUE(search_held);
  EXPECT_TRUE(thread_.NeedToSearch());
  EXPECT_FALSE(sink_.visible());
  EXPECT_EQ(form_->ScalesList()->count(), 0);  // the dialog was never opened
  EXPECT_TRUE(GoodsButton()->isEnabled());
}

struct CommandCase {
  const char* name;
  QStringList emulator_options;
  bool press_ok;
  bool bad_price;
  QStringList lines;
  int errors;
};

class SaveToScalesCaseTest : public SaveToScalesTest,
                             public ::testing::WithParamInterface<CommandCase> {};

TEST_P(SaveToScalesCaseTest, RunsAndPutsEverythingBack) {
  const CommandCase& c = GetParam();
  // On an address of its own: the search's socket takes the replies sent to 127.0.0.1.
  EmulatorProcess scale(c.emulator_options + QStringList{"--listen", "127.0.42.1"});
  ASSERT_TRUE(scale.ok()) << scale.failure().toStdString();
  for (int plu = 1; plu <= 60; ++plu) AddGoods(plu, QString("Goods %1").arg(plu), "1.50");
  if (c.bad_price) AddGoods(99, "Broken", "abc");
  SearchOnce(scale.port(), {"127.0.42.1"});
  ASSERT_EQ(thread_.Scales().Scales, QStringList{"127.0.42.1"});
  commands_->SetScalePort(scale.port());

  bool buttons_stayed_off = true;
  sink_.watch = [&] {
    if (GoodsButton()->isEnabled() || KeypadButton()->isEnabled()) buttons_stayed_off = false;
  };
  WhenDialogShows([&](TScalesForm& form) {
    if (c.press_ok) {
      form.ToggleItem(0);
      form.OkButton()->click();
    } else {
      form.CancelButton()->click();
    }
  });
  GoodsButton()->click();

  EXPECT_EQ(SinkLines(), c.lines);
  EXPECT_EQ(errors_.size(), c.errors) << errors_.join('\n').toStdString();
  EXPECT_TRUE(buttons_stayed_off);
  EXPECT_FALSE(sink_.visible());
  EXPECT_TRUE(thread_.NeedToSearch());
  EXPECT_TRUE(GoodsButton()->isEnabled());
  EXPECT_FALSE(commands_->Busy());
  if (c.lines.contains("Uploading completed (New <127.0.42.1>)")) {
    EXPECT_EQ(scale.ReadFile("products.dat"), ReadExport(kGoodsFileName));
    EXPECT_EQ(scale.ReadFile("Zirk.dat"), ReadExport(kTicketFileName));
  }
}

const QStringList kMaking{"Goods file making...", "Ticket file making..."};

INSTANTIATE_TEST_SUITE_P(
    Commands, SaveToScalesCaseTest,
    ::testing::Values(
        CommandCase{"Uploads",
                    {},
                    true,
                    false,
                    kMaking + QStringList{"Connecting...", "Uploading data (New <127.0.42.1>)",
                                          "Uploading completed (New <127.0.42.1>)"},
                    0},
        CommandCase{"Cancel", {}, false, false, {}, 0},
        // The goods file is 3 blocks; the scale hangs up after the first.
        CommandCase{"ConnectionLost",
                    {"--close-after", "1"},
                    true,
                    false,
                    kMaking + QStringList{"Connecting...", "Uploading data (New <127.0.42.1>)",
                                          "Uploading error"},
                    0},
        CommandCase{"BadGoodsFile", {}, true, true, {"Goods file making..."}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quibrel
