#include "ui/exchange_commands.h"

#include <QAbstractButton>
#include <QEvent>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>

#include "core/quibrel_error.h"
#include "core/status_sink.h"
#include "discovery/scales_thread.h"
#include "i18n/lang_text.h"
#include "link/com_unit.h"
#include "link/upload.h"
#include "link/upload_troubleshooting.h"
#include "scalefiles/scale_files.h"
#include "ui/goods_page.h"
#include "ui/keypad_page.h"
#include "ui/main_window.h"
#include "ui/scales_form.h"
#include "workspace/workspace.h"

namespace quibrel {

namespace {

constexpr int kTimer1IntervalMs = 500;
// The only wait given to a search cycle already under way before the lists are read.
constexpr int kHoldSearchPauseMs = 100;
constexpr int kMakingPauseMs = 1000;
constexpr int kErrorPauseMs = 1000;

void ShowProgressLine(StatusSink& status, QStringList& MessageList, const QString& line,
                      const QColor& colour) {
  MessageList.append(line);
  status.ShowMessageWindow(100, 50, colour, Qt::black, Qt::AlignHCenter, false, MessageList);
  status.ProcessEvents();
}

}  // namespace

// One command's hold on everything it changes: the exchange buttons are off and the search is
// held while it lives; the panel, the search, the client and the buttons are put back when it
// ends, whichever way.
class ExchangeCommands::Running {
 public:
  explicit Running(ExchangeCommands& commands) : commands_(commands) {
    commands_.busy_ = true;
    commands_.SetButtonsEnabled(false);
  }
  ~Running() {
    commands_.status_.HideMessageWindow();
    commands_.scales_thread_.SetNeedToSearch(true);
    commands_.TCP.reset();
    commands_.busy_ = false;
    commands_.SetButtonsEnabled(commands_.buttons_enabled_);
  }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;

 private:
  ExchangeCommands& commands_;
};

ExchangeCommands::ExchangeCommands(Workspace& workspace, TScalesThread& scales_thread,
                                   TScalesForm& scales_form, StatusSink& status, QObject* parent)
    : QObject(parent),
      workspace_(workspace),
      scales_thread_(scales_thread),
      scales_form_(scales_form),
      status_(status),
      com_(&SharedComUnit()),
      timer1_(new QTimer(this)) {
  timer1_->setObjectName("Timer1");
  timer1_->setInterval(kTimer1IntervalMs);
  connect(timer1_, &QTimer::timeout, this, &ExchangeCommands::Timer1Timer);
  timer1_->start();
}

ExchangeCommands::~ExchangeCommands() = default;

void ExchangeCommands::Attach(MainWindow& window) {
  QToolButton* goods = window.BaseSheet()->TransmitProductsButton();
  QToolButton* keypad = window.KeysSheet()->TransmitKeypadButton();
  AddExchangeButton(goods);
  AddExchangeButton(keypad);
  connect(goods, &QToolButton::clicked, this, &ExchangeCommands::TransmitProductsButtonClick);
  connect(keypad, &QToolButton::clicked, this, &ExchangeCommands::TransmitKeypadButtonClick);
  window_ = &window;
  window.installEventFilter(this);
}

void ExchangeCommands::AddExchangeButton(QAbstractButton* button) {
  buttons_.append(button);
  button->setEnabled(buttons_enabled_ && !busy_);
}

void ExchangeCommands::SetButtonsEnabled(bool enabled) {
  for (const QPointer<QAbstractButton>& button : buttons_) {
    if (button) button->setEnabled(enabled);
  }
}

void ExchangeCommands::Timer1Timer() {
  if (!scales_thread_.SearchComplete()) return;
  buttons_enabled_ = true;
  if (!busy_) SetButtonsEnabled(true);
  timer1_->stop();
}

bool ExchangeCommands::eventFilter(QObject* watched, QEvent* event) {
  // Closing closes the base and stops the search under the running exchange; the window closes
  // once the exchange is over instead.
  if (busy_ && watched == window_ && event->type() == QEvent::Close) {
    event->ignore();
    close_pending_ = true;
    return true;
  }
  return QObject::eventFilter(watched, event);
}

void ExchangeCommands::ShowError(const QString& text) {
  if (error_box_) {
    error_box_(text);
    return;
  }
  QMessageBox::critical(window_, LangText("Text", "ErrorData", "Error"), text);
}

void ExchangeCommands::SaveToScales() {
  if (busy_) return;
  QString error;
  {
    Running running(*this);
    try {
      TCP = std::make_unique<TcpTransport>(ReadReplyTimeout(workspace_.IniFileRef()));
      scales_thread_.SetNeedToSearch(false);
      status_.Pause(kHoldSearchPauseMs);
      const ScalesSnapshot found = scales_thread_.Scales();
      if (found.Scales.isEmpty()) {
        ShowTroubleShooting(status_, workspace_.MessageList, TroubleShootingFor::kUpload);
      } else {
        scales_form_.CheckMode = false;
        if (scales_form_.Execute(found) == TScalesForm::kOk) {
          std::vector<bool> ticked;
          for (int i = 0; i < found.Scales.size(); ++i) ticked.push_back(scales_form_.IsTicked(i));

          ShowProgressLine(status_, workspace_.MessageList,
                           LangText("Text", "MakingFile1", "Goods file making..."),
                           kProgressColour);
          MakeBaseFile(workspace_);
          status_.Pause(kMakingPauseMs);
          ShowProgressLine(status_, workspace_.MessageList,
                           LangText("Text", "MakingFile2", "Ticket file making..."),
                           kProgressColour);
          MakeZirkFile(workspace_);
          status_.Pause(kMakingPauseMs);

          UploadContext context{workspace_, link_, status_, *TCP, *com_, scale_port_};
          QString transfer_error;
          try {
            TransmitFiles(context, found.Scales, ticked);
          } catch (const QuibrelError& failure) {
            transfer_error = failure.text();
          } catch (const std::exception& failure) {
            transfer_error = QString::fromLocal8Bit(failure.what());
          }
          if (!transfer_error.isNull()) {
            // The panel only says that the upload failed; the log keeps why.
            workspace_.log().WriteToLog("Uploading error: " + transfer_error);
            ShowProgressLine(status_, workspace_.MessageList,
                             LangText("Text", "TransmitError", "Uploading error"), kFailureColour);
            status_.Pause(kErrorPauseMs);
          }
          status_.HideMessageWindow();
        }
      }
    } catch (const QuibrelError& failure) {
      error = failure.text();
    } catch (const std::exception& failure) {
      error = QString::fromLocal8Bit(failure.what());
    }
  }
  if (!error.isEmpty()) ShowError(error);
  if (close_pending_ && window_) {
    close_pending_ = false;
    QMetaObject::invokeMethod(window_, "close", Qt::QueuedConnection);
  }
}

}  // namespace quibrel
