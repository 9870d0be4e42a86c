#pragma once

#include <QString>

namespace quibrel {

class IniFile;

// The one look-up rule for every text the operator reads: the active language file, section,
// key and the built-in English default. Read at the moment the text is shown; never cached.
QString LangText(const QString& section, const QString& key, const QString& default_text);

// The language file that LangText reads; null reads every default. The owner keeps it alive.
void SetActiveLangFile(const IniFile* lang_file);
const IniFile* ActiveLangFile();

}  // namespace quibrel
