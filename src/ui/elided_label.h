#pragma once

#include <QLabel>

namespace quibrel {

// A label that shortens its text in the middle when it does not fit, as long paths need.
class ElidedLabel : public QLabel {
  Q_OBJECT

 public:
  explicit ElidedLabel(QWidget* parent = nullptr);
  void SetFullText(const QString& text);
  const QString& FullText() const { return full_text_; }
  QSize minimumSizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void UpdateElision();
  QString full_text_;
};

}  // namespace quibrel
