#include "ui/panel_status_sink.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "ui/message_panel.h"

namespace quibrel {

void PanelStatusSink::ShowMessageWindow(int w, int h, const QColor& clB, const QColor& clT,
                                        Qt::Alignment alText, bool ButtonEnabled,
                                        QStringList& sList) {
  panel_.ShowMessageWindow(w, h, clB, clT, alText, ButtonEnabled, sList);
}

void PanelStatusSink::HideMessageWindow() { panel_.HideMessageWindow(); }

void PanelStatusSink::ProcessEvents() { QCoreApplication::processEvents(); }

void PanelStatusSink::Pause(int milliseconds) {
  if (milliseconds <= 0) {
    QCoreApplication::processEvents();
    return;
  }
  // A local loop rather than a sleep: paint events, the discovery thread's queued signals and
  // the operator's clicks are all served while the message stands.
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

void PanelStatusSink::ShowProgress(int total) { panel_.ShowProgress(total); }
void PanelStatusSink::SetProgress(int done) { panel_.SetProgress(done); }
void PanelStatusSink::HideProgress() { panel_.HideProgress(); }

}  // namespace quibrel
