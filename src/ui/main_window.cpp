#include "ui/main_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTabWidget>
#include <QToolButton>

#include "ui/goods_page.h"
#include "ui/keypad_page.h"
#include "ui/settings_page.h"
#include "ui/totals_page.h"

namespace quibrel {

namespace {
constexpr QSize kClientSize{894, 562};
}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent),
      page_control_(new QTabWidget(this)),
      goods_page_(new GoodsPage),
      keypad_page_(new KeypadPage),
      totals_page_(new TotalsPage),
      settings_page_(new SettingsPage),
      help_button_(new QToolButton(this)) {
  setObjectName("MainForm");
  page_control_->setObjectName("PageControl");
  page_control_->addTab(goods_page_, "Products");
  page_control_->addTab(keypad_page_, "Keys");
  page_control_->addTab(totals_page_, "Totals");
  page_control_->addTab(settings_page_, "Settings");
  help_button_->setObjectName("HelpButton");
  help_button_->setText("?");
  help_button_->setToolTip("Help");
  page_control_->setCornerWidget(help_button_, Qt::TopRightCorner);
  setCentralWidget(page_control_);
  // The smallest window that still shows every control of the pages.
  setMinimumSize(kClientSize);
  resize(kClientSize);
}

void MainWindow::Centre() {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect frame = frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  move(frame.topLeft());
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!closing_) {
    closing_ = true;
    emit Closing();
  }
  event->accept();
}

}  // namespace quibrel
