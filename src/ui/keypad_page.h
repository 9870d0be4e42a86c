#pragma once

#include <QWidget>

class QToolButton;

namespace quibrel {

// The keypad page of the main window.
class KeypadPage : public QWidget {
  Q_OBJECT

 public:
  explicit KeypadPage(QWidget* parent = nullptr);

  // Sends the goods, ticket and keypad files to the scales; enabled once the first scale search
  // has ended.
  QToolButton* TransmitKeypadButton() const { return transmit_button_; }

 private:
  QToolButton* transmit_button_;
};

}  // namespace quibrel
