#include "support/recording_status_sink.h"

namespace quibrel::testing {

void RecordingStatusSink::ShowMessageWindow(int w, int h, const QColor& clB, const QColor& clT,
                                            Qt::Alignment alText, bool ButtonEnabled,
                                            QStringList& sList) {
  Call call{Kind::kShow, sList, clB, clT, alText, ButtonEnabled, w, h, 0};
  calls_.push_back(call);
  sList.clear();
  if (ButtonEnabled) {
    if (on_modal) on_modal(call);
    // The modal form is not shown again once closed.
    visible_ = false;
  } else {
    visible_ = true;
  }
}

void RecordingStatusSink::HideMessageWindow() {
  calls_.push_back(Call{Kind::kHide, {}, {}, {}, {}, false, 0, 0, 0});
  visible_ = false;
}

void RecordingStatusSink::ProcessEvents() {
  calls_.push_back(Call{Kind::kProcessEvents, {}, {}, {}, {}, false, 0, 0, 0});
}

void RecordingStatusSink::Pause(int milliseconds) {
  calls_.push_back(Call{Kind::kPause, {}, {}, {}, {}, false, 0, 0, milliseconds});
}

void RecordingStatusSink::ShowProgress(int total) {
  calls_.push_back(Call{Kind::kShowProgress, {}, {}, {}, {}, false, 0, 0, total});
  progress_visible_ = true;
  progress_total_ = total;
  progress_done_ = 0;
}

void RecordingStatusSink::SetProgress(int done) {
  calls_.push_back(Call{Kind::kSetProgress, {}, {}, {}, {}, false, 0, 0, done});
  progress_done_ = done;
}

void RecordingStatusSink::HideProgress() {
  calls_.push_back(Call{Kind::kHideProgress, {}, {}, {}, {}, false, 0, 0, 0});
  progress_visible_ = false;
}

std::vector<RecordingStatusSink::Call> RecordingStatusSink::Shows() const {
  std::vector<Call> shows;
  for (const Call& call : calls_) {
    if (call.kind == Kind::kShow) shows.push_back(call);
  }
  return shows;
}

QStringList RecordingStatusSink::AllLines() const {
  QStringList lines;
  for (const Call& call : calls_) {
    if (call.kind == Kind::kShow) lines += call.lines;
  }
  return lines;
}

const RecordingStatusSink::Call* RecordingStatusSink::LastShow() const {
  for (auto it = calls_.rbegin(); it != calls_.rend(); ++it) {
    if (it->kind == Kind::kShow) return &*it;
  }
  return nullptr;
}

std::vector<RecordingStatusSink::Kind> RecordingStatusSink::Kinds() const {
  std::vector<Kind> kinds;
  for (const Call& call : calls_) kinds.push_back(call.kind);
  return kinds;
}

int RecordingStatusSink::TotalPause() const {
  int total = 0;
  for (const Call& call : calls_) {
    if (call.kind == Kind::kPause) total += call.value;
  }
  return total;
}

void RecordingStatusSink::Clear() {
  calls_.clear();
  visible_ = false;
  progress_visible_ = false;
  progress_total_ = 0;
  progress_done_ = 0;
}

}  // namespace quibrel::testing
