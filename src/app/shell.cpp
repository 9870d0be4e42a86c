#include "app/shell.h"

#include <QMessageBox>
#include <QTabWidget>
#include <QToolButton>
#include <cstdio>
#include <malloc.h>

#include "core/quibrel_error.h"
#include "core/status_sink.h"
#include "core/version.h"
#include "db/compaction.h"
#include "db/money_format.h"
#include "discovery/scales_thread.h"
#include "discovery/serial_search.h"
#include "i18n/lang_text.h"
#include "ui/elided_label.h"
#include "ui/exchange_commands.h"
#include "ui/goods_page.h"
#include "ui/language_group.h"
#include "ui/help_topics.h"
#include "ui/help_window.h"
#include "ui/main_window.h"
#include "ui/message_panel.h"
#include "ui/panel_status_sink.h"
#include "ui/scales_form.h"
#include "ui/scales_group.h"
#include "ui/settings_page.h"
#include "ui/translate_interface.h"
#include "workspace/workspace.h"

namespace quibrel {

Shell::Shell(Workspace& workspace, MainWindow& window)
    : workspace_(workspace), window_(window), help_window_(std::make_unique<HelpWindow>()),
      scales_thread_(std::make_unique<TScalesThread>()) {
  connect(window_.PageControl(), &QTabWidget::currentChanged, this, &Shell::PageChanged);
  connect(&window_, &MainWindow::Closing, this, &Shell::ShutDown, Qt::DirectConnection);
  window_.BaseSheet()->Attach(workspace_);
  connect(window_.SettingsSheet()->MiscGroup(), &LanguageGroup::LanguageChosen, this,
          [this](const QString& code) {
            Language::StoreCode(workspace_.IniFileRef(), code);
            OpenDataBase();
          });
  connect(window_.HelpButton(), &QToolButton::clicked, this, [this] {
    help_window_->ShowTopic(PageHelpTopic(window_.PageControl()->currentIndex()));
  });
}

Shell::~Shell() = default;

bool Shell::RunSteps(const std::function<void()>& steps) {
  try {
    steps();
    return true;
  } catch (const QuibrelError& error) {
    ShowError(error.text());
  } catch (const std::exception& error) {
    ShowError(QString::fromLocal8Bit(error.what()));
  }
  return false;
}

void Shell::ShowError(const QString& text) {
  if (error_presenter_) {
    error_presenter_(text);
    return;
  }
  if (unattended_shut_down_) {
    std::fprintf(stderr, "%s\n", qPrintable(text));
    return;
  }
  QMessageBox::critical(&window_, LangText("Text", "ErrorData", "Error"), text);
}

void Shell::StartUp() {
  RunSteps([&] {
    workspace_.COMList.clear();
    workspace_.MessageList.clear();
    FillFormatSettings();
    workspace_.log().Reset();
    SurveySerialPorts(workspace_);
  });
  OpenDataBase();
  window_.PageControl()->setCurrentIndex(MainWindow::kGoodsPage);
  malloc_trim(0);
  message_panel_ = std::make_unique<TMessagePanel>(&window_);
  status_ = std::make_unique<PanelStatusSink>(*message_panel_);
  connect(message_panel_.get(), &TMessagePanel::HelpRequested, help_window_.get(),
          &HelpWindow::ShowTopic);
  scales_form_ = std::make_unique<TScalesForm>(workspace_.base(), &window_);
  exchange_ = std::make_unique<ExchangeCommands>(workspace_, *scales_thread_, *scales_form_,
                                                 *status_);
  exchange_->Attach(window_);
}

StatusSink& Shell::Status() {
  if (!status_) throw QuibrelError("The status panel is used before the window has started up");
  return *status_;
}

void Shell::OpenDataBase() {
  open_completed_ = false;
  open_completed_ = RunSteps([&] {
    workspace_.flRefresh = false;
    workspace_.OpenSettingsAndBase();
    window_.SettingsSheet()->ScalesGroup()->Bind(workspace_.base(), *scales_thread_);
    window_.SettingsSheet()->DatabaseLabel()->SetFullText(workspace_.Database());
    workspace_.language().Select(workspace_.IniFileRef());
    window_.SettingsSheet()->MiscGroup()->Fill(workspace_.language());
    TranslateInterface(window_, workspace_.Database());
    workspace_.TempProduct.resize(workspace_.base().Goods().fields().size());
    window_.BaseSheet()->DisableGoodsWhenEmpty();
    window_.BaseSheet()->FillSearchChooser();
    help_window_->SetHelpFolder(HelpFolderOf(workspace_.language().LangDir()));
    window_.SettingsSheet()->DatabaseLabel()->SetFullText(workspace_.Database());
    window_.BaseSheet()->EnableGoodsWhenNotEmpty();
    workspace_.flRefresh = true;
    scales_thread_->StartScalesSearch(SearchOptionsFor(workspace_));
  });
}

void Shell::PageChanged(int index) {
  RunSteps([&] {
    RowSet& goods = workspace_.base().Goods();
    if (goods.state() == RowSet::State::kEdit) goods.Post();
    if (index == MainWindow::kSettingsPage) {
      window_.SettingsSheet()->ScalesGroup()->RefreshScalesList();
    }
    if (index == MainWindow::kKeypadPage) window_.BaseSheet()->ClearSearch();
  });
}

void Shell::ShutDown() {
  if (message_panel_) {
    workspace_.MessageList.append(LangText("Text", "Closing", "Saving database..."));
    message_panel_->ShowMessageWindow(100, 50, kSuccessColour, Qt::black, Qt::AlignHCenter, false,
                                      workspace_.MessageList);
  }
  // An edit still open in the goods grid is stored, as leaving the page would store it.
  RunSteps([&] {
    RowSet& goods = workspace_.base().Goods();
    if (goods.IsEditing() && !goods.Post()) goods.Cancel();
  });
  const QString database = workspace_.base().path();
  workspace_.base().Close();
  scales_thread_->StopScalesSearch();
  if (!database.isEmpty()) {
    const QString error = CompactDatabase(database);
    if (!error.isEmpty()) ShowError(error);
  }
  if (message_panel_) message_panel_->HideMessageWindow();
}

}  // namespace quibrel
