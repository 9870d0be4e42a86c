#pragma once

#include <cstdio>

#include "core/status_sink.h"

namespace quibrel {

// The command line's status sink: every message's lines go to stderr (in the terminal's
// encoding) as they are shown. Nobody is there to read slowly or to press Close, so pauses are
// skipped and the modal form prints its lines and returns at once. The progress bar is not
// drawn: scripts read the messages, not a moving bar.
class CliStatusSink : public StatusSink {
 public:
  explicit CliStatusSink(std::FILE* out = stderr) : out_(out) {}

  void ShowMessageWindow(int w, int h, const QColor& clB, const QColor& clT, Qt::Alignment alText,
                         bool ButtonEnabled, QStringList& sList) override;
  void HideMessageWindow() override {}
  void ProcessEvents() override;
  void Pause(int) override {}
  void ShowProgress(int) override {}
  void SetProgress(int) override {}
  void HideProgress() override {}

 private:
  std::FILE* out_;
};

}  // namespace quibrel
