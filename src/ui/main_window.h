#pragma once

#include <QMainWindow>

class QTabWidget;
class QToolButton;

namespace quibrel {

class GoodsPage;
class KeypadPage;
class TotalsPage;
class SettingsPage;

// The one main window: four pages in a fixed order (the help button uses the index) and the help
// button beside them.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  enum Page { kGoodsPage = 0, kKeypadPage = 1, kTotalsPage = 2, kSettingsPage = 3 };

  explicit MainWindow(QWidget* parent = nullptr);

  QTabWidget* PageControl() const { return page_control_; }
  GoodsPage* BaseSheet() const { return goods_page_; }
  KeypadPage* KeysSheet() const { return keypad_page_; }
  TotalsPage* TotalsSheet() const { return totals_page_; }
  SettingsPage* SettingsSheet() const { return settings_page_; }
  QToolButton* HelpButton() const { return help_button_; }

  // Centres the window on its screen.
  void Centre();

 signals:
  // Emitted from the close handler, before the window closes; connected directly, so the
  // shut-down sequence runs inside it.
  void Closing();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QTabWidget* page_control_;
  GoodsPage* goods_page_;
  KeypadPage* keypad_page_;
  TotalsPage* totals_page_;
  SettingsPage* settings_page_;
  QToolButton* help_button_;
  bool closing_ = false;
};

}  // namespace quibrel
