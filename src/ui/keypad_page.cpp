#include "ui/keypad_page.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "i18n/lang_text.h"

namespace quibrel {

KeypadPage::KeypadPage(QWidget* parent) : QWidget(parent) {
  setObjectName("KeysSheet");

  transmit_button_ = new QToolButton(this);
  transmit_button_->setObjectName("TransmitKeypadButton");
  transmit_button_->setText(LangText("Keys", "Upload", "Upload"));
  transmit_button_->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
  transmit_button_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  transmit_button_->setAutoRaise(true);
  transmit_button_->setEnabled(false);

  auto* toolbar = new QHBoxLayout;
  toolbar->setContentsMargins(0, 0, 0, 0);
  toolbar->addWidget(transmit_button_);
  toolbar->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(toolbar);
  layout->addStretch(1);
}

}  // namespace quibrel
