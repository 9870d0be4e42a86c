#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace quibrel {

// The help viewer: one window showing pages of the active language's help folder and following
// the links between them. A topic or link without a page shows a "not found" page instead of an
// error box.
class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  // The help folder every topic is looked up in; set each time a base is opened.
  void SetHelpFolder(const QString& folder) { help_folder_ = folder; }
  const QString& HelpFolder() const { return help_folder_; }

  // Shows the page of the topic (or the not-found page) and brings the window forward.
  void ShowTopic(const QString& topic);

  QTextBrowser* Browser() const { return browser_; }
  // Whether the page on show is the not-found page.
  bool ShowsNotFound() const { return shows_not_found_; }

 private:
  void FollowLink(const QUrl& link);
  void ShowNotFound(const QString& what);
  void UpdateTitle();

  QString help_folder_;
  QTextBrowser* browser_;
  QToolButton* back_button_;
  QToolButton* forward_button_;
  bool shows_not_found_ = false;
};

}  // namespace quibrel
