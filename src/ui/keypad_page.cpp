#include "ui/keypad_page.h"

namespace quibrel {

KeypadPage::KeypadPage(QWidget* parent) : QWidget(parent) { setObjectName("KeysSheet"); }

}  // namespace quibrel
