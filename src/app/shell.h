#pragma once

#include <QObject>
#include <functional>
#include <memory>

namespace quibrel {

class HelpWindow;
class MainWindow;
class PanelStatusSink;
class StatusSink;
class ExchangeCommands;
class TScalesForm;
class TScalesThread;
class TMessagePanel;
class Workspace;

// The window's sequences: start-up, OpenDataBase, the page change and shut-down. Each is a list
// of steps in a fixed order; an error in a step ends its sequence there, shows its text in a
// message box, and leaves the window open with what was set up.
class Shell : public QObject {
  Q_OBJECT

 public:
  Shell(Workspace& workspace, MainWindow& window);
  ~Shell() override;

  // The creation handler's steps, up to the trim of the working set.
  void StartUp();
  // Opens the base the settings name and rebuilds the window from it. Safe to run again.
  void OpenDataBase();
  void PageChanged(int index);
  // The close handler's steps: closing message, close the base, stop the search, compact.
  void ShutDown();

  // Where long operations report: the status panel, made at the end of StartUp.
  StatusSink& Status();
  // Null until StartUp has made it.
  TMessagePanel* MessagePanel() const { return message_panel_.get(); }
  HelpWindow& Help() const { return *help_window_; }
  // The scale search, for the whole run; the exchange commands hold and read it.
  TScalesThread& ScalesThread() const { return *scales_thread_; }
  // The scale selection dialog; null until StartUp has made it.
  TScalesForm* ScalesForm() const { return scales_form_.get(); }
  // The exchanges with the scales and Timer1; null until StartUp has made them.
  ExchangeCommands* Exchange() const { return exchange_.get(); }

  // Whether the last OpenDataBase ran to its end.
  bool LastOpenCompleted() const { return open_completed_; }

  // A compaction failure is shown in a message box; when nobody is at the window (the session
  // ends, a signal asked us to stop) it goes to stderr instead.
  void SetUnattendedShutDown(bool unattended) { unattended_shut_down_ = unattended; }

  // Replaces the message box that shows an error (tests record the text instead).
  void SetErrorPresenter(std::function<void(const QString&)> presenter) {
    error_presenter_ = std::move(presenter);
  }

 private:
  // Runs a sequence; a QuibrelError (or any other exception) ends it with a message box.
  bool RunSteps(const std::function<void()>& steps);
  void ShowError(const QString& text);

  Workspace& workspace_;
  MainWindow& window_;
  std::unique_ptr<HelpWindow> help_window_;
  std::unique_ptr<TScalesThread> scales_thread_;
  std::unique_ptr<TScalesForm> scales_form_;
  std::unique_ptr<ExchangeCommands> exchange_;
  std::unique_ptr<TMessagePanel> message_panel_;
  std::unique_ptr<PanelStatusSink> status_;
  bool open_completed_ = false;
  bool unattended_shut_down_ = false;
  std::function<void(const QString&)> error_presenter_;
};

}  // namespace quibrel
