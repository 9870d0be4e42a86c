#include "ui/help_topics.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "i18n/lang_text.h"

namespace quibrel {

namespace {

// The entry of folder named name, matched exactly first and then without letter case.
QString FindEntry(const QString& folder, const QString& name) {
  if (QFileInfo::exists(folder + '/' + name)) return name;
  const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
  for (const QString& entry : entries) {
    if (entry.compare(name, Qt::CaseInsensitive) == 0) return entry;
  }
  return {};
}

}  // namespace

QString HelpFolderOf(const QString& lang_dir) { return lang_dir + QStringLiteral("/help"); }

QString HelpTopicPath(const QString& help_folder, const QString& topic) {
  QStringList parts;
  for (const QString& part : QString(topic).replace('\\', '/').split('/', Qt::SkipEmptyParts)) {
    const QString trimmed = part.trimmed();
    if (trimmed.isEmpty() || trimmed == ".") continue;
    if (trimmed == "..") return {};
    parts.append(trimmed);
  }
  if (parts.isEmpty() || help_folder.isEmpty()) return {};
  const QString last = parts.last().toLower();
  if (!last.endsWith(".html") && !last.endsWith(".htm")) parts.last() += ".html";

  QString path = help_folder;
  for (const QString& part : parts) {
    const QString entry = FindEntry(path, part);
    if (entry.isEmpty()) return {};
    path += '/' + entry;
  }
  return QFileInfo(path).isFile() ? path : QString();
}

QString PageHelpTopic(int page_index) {
  switch (page_index) {
    case 0:
      return LangText("Help", "Goods", "Description\\Goods");
    case 1:
      return LangText("Help", "Keys", "Description\\Keys");
    case 2:
      return LangText("Help", "Totals", "Description\\Totals");
    case 3:
      return LangText("Help", "Settings", "Description\\Settings");
    default:
      return {};
  }
}

QString ConnectionTipsTopic() { return LangText("Help", "TipsConnection", "Tips\\Connection"); }

QString TopicNotFoundPage(const QString& topic, const QString& help_folder) {
  const QString title = LangText("Help", "NotFoundTitle", "Help topic not found");
  const QString text = LangText("Help", "NotFoundText", "There is no help page for this topic.");
  return QStringLiteral(
             "<html><head><meta charset=\"utf-8\"><title>%1</title></head><body>"
             "<h2>%1</h2><p>%2</p><p><b>%3</b></p><p><small>%4</small></p></body></html>")
      .arg(title.toHtmlEscaped(), text.toHtmlEscaped(), topic.toHtmlEscaped(),
           QDir::toNativeSeparators(help_folder).toHtmlEscaped());
}

}  // namespace quibrel
