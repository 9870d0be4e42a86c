#include "ui/help_window.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

#include "i18n/lang_text.h"
#include "ui/help_topics.h"

namespace quibrel {

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      browser_(new QTextBrowser(this)),
      back_button_(new QToolButton(this)),
      forward_button_(new QToolButton(this)) {
  setObjectName("HelpWindow");
  // An open help window must not keep the program running after the main window has closed.
  setAttribute(Qt::WA_QuitOnClose, false);
  browser_->setObjectName("HelpBrowser");
  // Links are followed here so that a missing page gets the not-found page, not a blank one.
  browser_->setOpenLinks(false);
  back_button_->setObjectName("HelpBackButton");
  back_button_->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
  back_button_->setEnabled(false);
  forward_button_->setObjectName("HelpForwardButton");
  forward_button_->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
  forward_button_->setEnabled(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(back_button_);
  buttons->addWidget(forward_button_);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(buttons);
  layout->addWidget(browser_);

  connect(back_button_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
  connect(forward_button_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
  connect(browser_, &QTextBrowser::backwardAvailable, back_button_, &QToolButton::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward_button_, &QToolButton::setEnabled);
  connect(browser_, &QTextBrowser::anchorClicked, this, &HelpWindow::FollowLink);
  connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
    shows_not_found_ = false;
    UpdateTitle();
  });
  resize(760, 580);
}

void HelpWindow::ShowTopic(const QString& topic) {
  const QString path = HelpTopicPath(help_folder_, topic);
  if (path.isEmpty()) {
    ShowNotFound(topic);
  } else {
    const QUrl url = QUrl::fromLocalFile(path);
    // Asking for the page already shown reloads it: the language may have changed meanwhile.
    if (browser_->source() == url) {
      browser_->reload();
      shows_not_found_ = false;
      UpdateTitle();
    } else {
      browser_->setSource(url);
    }
  }
  show();
  raise();
  activateWindow();
}

void HelpWindow::FollowLink(const QUrl& link) {
  const QUrl base = browser_->source().isEmpty()
                        ? QUrl::fromLocalFile(QDir(help_folder_).absolutePath() + '/')
                        : browser_->source();
  const QUrl target = base.resolved(link);
  if (!target.isLocalFile()) {
    QDesktopServices::openUrl(target);
    return;
  }
  if (QFileInfo(target.toLocalFile()).isFile()) {
    browser_->setSource(target);
    return;
  }
  // Name the missing page by its place in the help folder, as a topic would.
  QString missing = QDir(help_folder_).relativeFilePath(target.toLocalFile());
  if (missing.endsWith(".html")) missing.chop(5);
  ShowNotFound(missing.replace(QLatin1Char('/'), QLatin1Char('\\')));
}

void HelpWindow::ShowNotFound(const QString& what) {
  browser_->setHtml(TopicNotFoundPage(what, help_folder_));
  shows_not_found_ = true;
  UpdateTitle();
}

void HelpWindow::UpdateTitle() {
  const QString caption = LangText("Misc", "CaptionZirk", "Quibrel");
  const QString page = browser_->documentTitle();
  setWindowTitle(page.isEmpty() ? caption : caption + " - " + page);
}

}  // namespace quibrel
