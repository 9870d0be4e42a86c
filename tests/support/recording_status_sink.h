#pragma once

#include <QColor>
#include <QStringList>
#include <functional>
#include <vector>

#include "core/status_sink.h"

namespace quibrel::testing {

// A status sink for tests: it records every call in order, with the lines, colours, alignment
// and modal flag of each message, and keeps the state a panel would be in (shown, progress).
// The modal form returns at once, as if the operator had pressed Close straight away.
class RecordingStatusSink : public StatusSink {
 public:
  enum class Kind { kShow, kHide, kProcessEvents, kPause, kShowProgress, kSetProgress, kHideProgress };

  struct Call {
    Kind kind;
    QStringList lines;  // kShow: the lines, as the caller's list held them
    QColor background;  // kShow
    QColor text;        // kShow
    Qt::Alignment alignment;
    bool modal = false;  // kShow: ButtonEnabled
    int width = 0;       // kShow: the initial size the caller passed
    int height = 0;
    int value = 0;  // kPause: milliseconds; kShowProgress: total; kSetProgress: done
  };

  void ShowMessageWindow(int w, int h, const QColor& clB, const QColor& clT, Qt::Alignment alText,
                         bool ButtonEnabled, QStringList& sList) override;
  void HideMessageWindow() override;
  void ProcessEvents() override;
  void Pause(int milliseconds) override;
  void ShowProgress(int total) override;
  void SetProgress(int done) override;
  void HideProgress() override;

  const std::vector<Call>& calls() const { return calls_; }
  // The messages shown, in order.
  std::vector<Call> Shows() const;
  // Every line of every message, in order.
  QStringList AllLines() const;
  // The last message, or null when nothing was shown.
  const Call* LastShow() const;
  // The kinds of the calls in order: a compact way to check a calling pattern.
  std::vector<Kind> Kinds() const;
  int TotalPause() const;

  // Whether a message without buttons stands (shown and not hidden since).
  bool visible() const { return visible_; }
  bool progress_visible() const { return progress_visible_; }
  int progress_total() const { return progress_total_; }
  int progress_done() const { return progress_done_; }

  void Clear();

  // Called inside a modal message, before it returns: what the operator would be looking at.
  std::function<void(const Call&)> on_modal;

 private:
  std::vector<Call> calls_;
  bool visible_ = false;
  bool progress_visible_ = false;
  int progress_total_ = 0;
  int progress_done_ = 0;
};

}  // namespace quibrel::testing
