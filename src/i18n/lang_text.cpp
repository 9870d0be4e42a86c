#include "i18n/lang_text.h"

#include "i18n/ini_file.h"

namespace quibrel {
namespace {
const IniFile* active_lang_file = nullptr;
}  // namespace

QString LangText(const QString& section, const QString& key, const QString& default_text) {
  if (active_lang_file == nullptr) return default_text;
  return active_lang_file->ReadString(section, key, default_text);
}

void SetActiveLangFile(const IniFile* lang_file) { active_lang_file = lang_file; }
const IniFile* ActiveLangFile() { return active_lang_file; }

}  // namespace quibrel
