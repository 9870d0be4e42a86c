#pragma once

#include <QWidget>

namespace quibrel {

// The totals page of the main window.
class TotalsPage : public QWidget {
  Q_OBJECT

 public:
  explicit TotalsPage(QWidget* parent = nullptr);
};

}  // namespace quibrel
