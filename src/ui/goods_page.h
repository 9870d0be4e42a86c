#pragma once

#include <QWidget>

namespace quibrel {

// The goods page of the main window.
class GoodsPage : public QWidget {
  Q_OBJECT

 public:
  explicit GoodsPage(QWidget* parent = nullptr);
};

}  // namespace quibrel
