#pragma once

#include <QColor>
#include <QStringList>
#include <Qt>

namespace quibrel {

// The three colours of the status panel's text area.
inline const QColor kProgressColour{166, 202, 240};
inline const QColor kFailureColour{255, 204, 255};
inline const QColor kSuccessColour{192, 220, 192};

// How long operations talk to the operator. Exchanges, card work and the database manager report
// through this and never touch widgets: the window shows a panel, the command line prints to
// stderr, tests record.
class StatusSink {
 public:
  virtual ~StatusSink() = default;

  // Shows the lines of sList and empties it. w and h are the caller's initial size, replaced by the
  // size measured from the text. With ButtonEnabled the form is modal (Close and Help) and the call
  // returns when the operator closes it.
  virtual void ShowMessageWindow(int w, int h, const QColor& clB, const QColor& clT,
                                 Qt::Alignment alText, bool ButtonEnabled, QStringList& sList) = 0;
  virtual void HideMessageWindow() = 0;

  // Lets pending window events run once.
  virtual void ProcessEvents() = 0;
  // Waits so that a message can be read; the window keeps repainting meanwhile.
  virtual void Pause(int milliseconds) = 0;

  // The transfer progress bar: placed and shown at 0 of total, advanced, hidden.
  virtual void ShowProgress(int total) = 0;
  virtual void SetProgress(int done) = 0;
  virtual void HideProgress() = 0;

  // The usual pattern: one centred line in a panel colour, then pending events.
  void ShowLine(const QString& line, const QColor& colour) {
    QStringList lines{line};
    ShowMessageWindow(100, 50, colour, Qt::black, Qt::AlignHCenter, false, lines);
    ProcessEvents();
  }
};

}  // namespace quibrel
