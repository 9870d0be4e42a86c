#pragma once

#include <QString>

namespace quibrel {

// Help is a folder of HTML pages in each language folder. A topic such as "Description\Goods"
// names the page help/Description/Goods.html.

// The help folder of a language folder.
QString HelpFolderOf(const QString& lang_dir);

// The page file of a topic inside a help folder, or empty when the topic names no page there.
// Either separator is accepted, ".html" is added when the topic has no page suffix, and letter
// case is forgiven where the exact name is missing (translators write topics by hand). A topic
// that climbs out of the folder names no page.
QString HelpTopicPath(const QString& help_folder, const QString& topic);

// The topic of a main window page (0 goods, 1 keypad, 2 totals, 3 settings), read now from the
// language file; empty for any other index.
QString PageHelpTopic(int page_index);

// The topic the status panel's Help opens: the connection tips.
QString ConnectionTipsTopic();

// The page shown for a topic that has no page, in the active language.
QString TopicNotFoundPage(const QString& topic, const QString& help_folder);

}  // namespace quibrel
