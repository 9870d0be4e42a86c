#pragma once

#include <QWidget>

namespace quibrel {

// The keypad page of the main window.
class KeypadPage : public QWidget {
  Q_OBJECT

 public:
  explicit KeypadPage(QWidget* parent = nullptr);
};

}  // namespace quibrel
