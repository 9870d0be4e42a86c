#include "ui/goods_page.h"

namespace quibrel {

GoodsPage::GoodsPage(QWidget* parent) : QWidget(parent) { setObjectName("BaseSheet"); }

}  // namespace quibrel
