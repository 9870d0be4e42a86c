#include "ui/message_panel.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "i18n/lang_text.h"

namespace quibrel {

namespace {

constexpr int kButtonWidth = 105;
constexpr int kButtonHeight = 28;
// Room the modal form adds under the text for its two buttons.
constexpr int kButtonRow = 30;
// Space between the buttons and the bottom edge.
constexpr int kButtonGap = 5;
constexpr int kProgressHeight = 8;
constexpr qreal kCornerRadius = 6;
constexpr qreal kOpacity = 210.0 / 255.0;

QStringList LabelLines(const QString& text) { return text.split(QStringLiteral("\r\n")); }

}  // namespace

MessageLabel::MessageLabel(QWidget* parent) : QLabel(parent) {
  setObjectName("MessageLabel");
  setFont(TMessagePanel::PanelFont());
  setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
}

void MessageLabel::SetBackground(const QColor& colour) {
  background_ = colour;
  update();
}

void MessageLabel::SetTextColour(const QColor& colour) {
  text_colour_ = colour;
  update();
}

void MessageLabel::SetTextAtTop(bool at_top) {
  text_at_top_ = at_top;
  update();
}

int MessageLabel::TextTop() const {
  if (text_at_top_) return kMargin;
  const QFontMetrics metrics(font());
  const int block = static_cast<int>(LabelLines(text()).size()) * (metrics.height() + kLineGap);
  return (height() - block) / 2;
}

void MessageLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(background_);
  painter.drawRoundedRect(frame, kCornerRadius, kCornerRadius);

  painter.setFont(font());
  const QFontMetrics metrics(font());
  // Engraved: a light copy one pixel down and right, the text over it, so the letters look
  // pressed into the panel.
  const QColor highlight = background_.lighter(160);
  int y = TextTop();
  for (const QString& line : LabelLines(text())) {
    const int line_width = metrics.horizontalAdvance(line);
    int x = kMargin;
    if (alignment() & Qt::AlignRight) {
      x = width() - kMargin - line_width;
    } else if (alignment() & Qt::AlignHCenter) {
      x = (width() - line_width) / 2;
    }
    const int baseline = y + metrics.ascent();
    painter.setPen(highlight);
    painter.drawText(x + 1, baseline + 1, line);
    painter.setPen(text_colour_);
    painter.drawText(x, baseline, line);
    y += metrics.height() + kLineGap;
  }
}

TMessagePanel::TMessagePanel(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      message_label_(new MessageLabel(this)),
      progress_bar_(new QProgressBar(this)),
      close_button_(new QPushButton(this)),
      help_button_(new QPushButton(this)) {
  setObjectName("MessagePanel");
  setWindowOpacity(kOpacity);
  // The panel never keeps the program alive once the main window has closed.
  setAttribute(Qt::WA_QuitOnClose, false);

  progress_bar_->setObjectName("ProgressBar1");
  progress_bar_->setTextVisible(false);
  progress_bar_->setFixedHeight(kProgressHeight);
  progress_bar_->hide();

  close_button_->setObjectName("CloseButton");
  help_button_->setObjectName("HelpButton");
  for (QPushButton* button : {close_button_, help_button_}) {
    button->setFont(PanelFont());
    button->setFixedSize(kButtonWidth, kButtonHeight);
    button->setAutoDefault(false);
    button->hide();
  }
  connect(close_button_, &QPushButton::clicked, this, &TMessagePanel::CloseButtonClick);
  connect(help_button_, &QPushButton::clicked, this, &TMessagePanel::HelpButtonClick);
  resize(100, 50);
}

QFont TMessagePanel::PanelFont() {
  // Arial where it is installed; fontconfig gives its metric twin (Liberation Sans) elsewhere.
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(16);
  font.setBold(true);
  return font;
}

void TMessagePanel::ShowMessageWindow(int w, int h, const QColor& clB, const QColor& clT,
                                      Qt::Alignment alText, bool ButtonEnabled,
                                      QStringList& sList) {
  help_button_->setText(LangText("Message", "HelpButton", "Help"));
  close_button_->setText(LangText("Message", "CloseButton", "Close"));

  resize(w, h);
  message_label_->SetBackground(clB);
  message_label_->SetTextColour(clT);
  message_label_->setAlignment((alText & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
  message_label_->setText(sList.join(QStringLiteral("\r\n")));

  const QFontMetrics metrics(message_label_->font());
  int widest = 0;
  int height = 0;
  for (const QString& line : sList) {
    widest = std::max(widest, metrics.horizontalAdvance(line));
    height += metrics.height() + MessageLabel::kLineGap;
  }
  int panel_width = widest + 2 * MessageLabel::kMargin;
  int panel_height = height + 2 * MessageLabel::kMargin;

  if (ButtonEnabled) {
    message_label_->SetTextAtTop(true);
    panel_height += kButtonRow;
    // Narrow text would put Help over Close; the form is kept wide enough for both.
    panel_width = std::max(panel_width, 2 * kButtonWidth + 3 * MessageLabel::kMargin);
  } else {
    message_label_->SetTextAtTop(false);
  }
  resize(panel_width, panel_height);
  message_label_->setGeometry(0, 0, panel_width, panel_height);
  const int button_top = panel_height - kButtonHeight - kButtonGap;
  help_button_->move(MessageLabel::kMargin, button_top);
  close_button_->move(panel_width - MessageLabel::kMargin - kButtonWidth, button_top);
  help_button_->setVisible(ButtonEnabled);
  close_button_->setVisible(ButtonEnabled);
  Centre();

  if (ButtonEnabled) {
    // The modal form is only asked for while the panel is hidden; a visible panel would make
    // exec() return at once, so it is hidden first.
    if (isVisible()) hide();
    // The caller's lines are already on the panel; the list is free for the next message.
    sList.clear();
    // Modal to the main window only, so that a help window opened from here stays usable.
    // Modality is set for this showing alone: a widget with a modality blocks when merely shown.
    setWindowModality(parentWidget() != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    exec();
    setWindowModality(Qt::NonModal);
  } else {
    show();
    raise();
    sList.clear();
  }
  QApplication::processEvents();
}

void TMessagePanel::HideMessageWindow() { hide(); }

void TMessagePanel::ShowProgress(int total) {
  progress_bar_->setGeometry(MessageLabel::kMargin, message_label_->height() - MessageLabel::kMargin,
                             message_label_->width() - 2 * MessageLabel::kMargin, kProgressHeight);
  progress_bar_->setRange(0, std::max(total, 0));
  progress_bar_->setValue(0);
  progress_bar_->show();
  progress_bar_->raise();
}

void TMessagePanel::SetProgress(int done) { progress_bar_->setValue(done); }

void TMessagePanel::HideProgress() { progress_bar_->hide(); }

void TMessagePanel::Centre() {
  const QScreen* screen = parentWidget() != nullptr && parentWidget()->screen() != nullptr
                              ? parentWidget()->screen()
                              : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect frame = geometry();
  frame.moveCenter(screen->availableGeometry().center());
  move(frame.topLeft());
}

void TMessagePanel::CloseButtonClick() {
  accept();
  hide();
}

void TMessagePanel::HelpButtonClick() {
  emit HelpRequested(LangText("Help", "TipsConnection", "Tips\\Connection"));
}

}  // namespace quibrel
