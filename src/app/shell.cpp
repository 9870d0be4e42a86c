#include "app/shell.h"

#include <QMessageBox>
#include <QTabWidget>
#include <cstdio>
#include <malloc.h>

#include "core/quibrel_error.h"
#include "core/version.h"
#include "db/compaction.h"
#include "i18n/lang_text.h"
#include "ui/elided_label.h"
#include "ui/main_window.h"
#include "ui/settings_page.h"
#include "workspace/workspace.h"

namespace quibrel {

Shell::Shell(Workspace& workspace, MainWindow& window) : workspace_(workspace), window_(window) {
  connect(window_.PageControl(), &QTabWidget::currentChanged, this, &Shell::PageChanged);
  connect(&window_, &MainWindow::Closing, this, &Shell::ShutDown, Qt::DirectConnection);
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
    workspace_.log().Reset();
  });
  OpenDataBase();
  window_.PageControl()->setCurrentIndex(MainWindow::kGoodsPage);
  malloc_trim(0);
}

void Shell::OpenDataBase() {
  open_completed_ = false;
  open_completed_ = RunSteps([&] {
    workspace_.flRefresh = false;
    workspace_.OpenSettingsAndBase();
    window_.SettingsSheet()->DatabaseLabel()->SetFullText(workspace_.Database());
    window_.setWindowTitle(LangText("Misc", "CaptionZirk", "Quibrel") + " (v" + GetFullVersion() +
                           ") - [" + workspace_.Database() + "]");
    workspace_.TempProduct.resize(workspace_.base().Goods().fields().size());
    window_.SettingsSheet()->DatabaseLabel()->SetFullText(workspace_.Database());
    workspace_.flRefresh = true;
  });
}

void Shell::PageChanged(int index) {
  RunSteps([&] {
    RowSet& goods = workspace_.base().Goods();
    if (goods.state() == RowSet::State::kEdit) goods.Post();
    (void)index;
  });
}

void Shell::ShutDown() {
  const QString database = workspace_.base().path();
  workspace_.base().Close();
  if (!database.isEmpty()) {
    const QString error = CompactDatabase(database);
    if (!error.isEmpty()) ShowError(error);
  }
}

}  // namespace quibrel
