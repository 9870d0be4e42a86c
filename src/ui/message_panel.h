#pragma once

#include <QColor>
#include <QDialog>
#include <QLabel>
#include <QStringList>

class QProgressBar;
class QPushButton;

namespace quibrel {

// The text area of the status panel: the panel colour, a thin black rounded frame and the lines
// drawn engraved. text() holds the lines joined by CR LF.
class MessageLabel : public QLabel {
  Q_OBJECT

 public:
  explicit MessageLabel(QWidget* parent = nullptr);

  void SetBackground(const QColor& colour);
  void SetTextColour(const QColor& colour);
  const QColor& Background() const { return background_; }
  const QColor& TextColour() const { return text_colour_; }
  // Where the first line starts: at the top (below the margin) or centred in the label height.
  void SetTextAtTop(bool at_top);
  bool TextAtTop() const { return text_at_top_; }
  // The top of the first line in the label, as painted.
  int TextTop() const;

  static constexpr int kMargin = 10;
  // Extra pixels under every line.
  static constexpr int kLineGap = 2;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor background_{Qt::white};
  QColor text_colour_{Qt::black};
  bool text_at_top_ = false;
};

// The small panel in the middle of the screen through which long operations talk to the operator.
// Normally it only shows its lines; with buttons it is modal until Close.
class TMessagePanel : public QDialog {
  Q_OBJECT

 public:
  // The parent is the main window: the modal form blocks that window only, so a help window
  // opened from the panel stays usable.
  explicit TMessagePanel(QWidget* parent = nullptr);

  // Shows the lines of sList measured to fit and empties sList. With ButtonEnabled the panel is
  // modal with Close and Help and returns when the operator closes it.
  void ShowMessageWindow(int w, int h, const QColor& clB, const QColor& clT, Qt::Alignment alText,
                         bool ButtonEnabled, QStringList& sList);
  void HideMessageWindow();

  // The transfer bar along the bottom edge: placed and shown at 0 of total, advanced, hidden.
  void ShowProgress(int total);
  void SetProgress(int done);
  void HideProgress();

  MessageLabel* Label() const { return message_label_; }
  QProgressBar* ProgressBar() const { return progress_bar_; }
  QPushButton* CloseButton() const { return close_button_; }
  QPushButton* HelpButton() const { return help_button_; }

  // The font of the text and the buttons: Arial, 16 pixels, bold.
  static QFont PanelFont();

 signals:
  // The modal form's Help: the connection tips topic, read when pressed.
  void HelpRequested(const QString& topic);

 private:
  void Centre();
  void CloseButtonClick();
  void HelpButtonClick();

  MessageLabel* message_label_;
  QProgressBar* progress_bar_;
  QPushButton* close_button_;
  QPushButton* help_button_;
};

}  // namespace quibrel
