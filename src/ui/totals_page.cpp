#include "ui/totals_page.h"

namespace quibrel {

TotalsPage::TotalsPage(QWidget* parent) : QWidget(parent) { setObjectName("TotalsSheet"); }

}  // namespace quibrel
