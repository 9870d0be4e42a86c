#include "ui/elided_label.h"

#include <QFontMetrics>
#include <QResizeEvent>

namespace quibrel {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void ElidedLabel::SetFullText(const QString& text) {
  full_text_ = text;
  setToolTip(text);
  UpdateElision();
}

QSize ElidedLabel::minimumSizeHint() const {
  return QSize(40, QLabel::minimumSizeHint().height());
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  UpdateElision();
}

void ElidedLabel::UpdateElision() {
  setText(fontMetrics().elidedText(full_text_, Qt::ElideMiddle, std::max(width(), 40)));
}

}  // namespace quibrel
