#pragma once

#include "core/status_sink.h"

namespace quibrel {

class TMessagePanel;

// The window's status sink: messages go to the status panel, and a pause keeps the event loop
// turning so that the window repaints and stays usable while the operator reads.
class PanelStatusSink : public StatusSink {
 public:
  explicit PanelStatusSink(TMessagePanel& panel) : panel_(panel) {}

  void ShowMessageWindow(int w, int h, const QColor& clB, const QColor& clT, Qt::Alignment alText,
                         bool ButtonEnabled, QStringList& sList) override;
  void HideMessageWindow() override;
  void ProcessEvents() override;
  void Pause(int milliseconds) override;
  void ShowProgress(int total) override;
  void SetProgress(int done) override;
  void HideProgress() override;

  TMessagePanel& panel() const { return panel_; }

 private:
  TMessagePanel& panel_;
};

}  // namespace quibrel
