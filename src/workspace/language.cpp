#include "workspace/language.h"

#include <QDir>

#include "i18n/lang_text.h"
#include "i18n/scale_charset.h"

namespace quibrel {
namespace {

constexpr int kCyrillicLanguageId = 1049;

}  // namespace

Language::Language(ProgramFolder folder) : folder_(std::move(folder)) {}

Language::~Language() {
  if (ActiveLangFile() == &lang_file_) SetActiveLangFile(nullptr);
}

bool Language::SystemLanguageIsRussian() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const QString value = qEnvironmentVariable(name);
    if (value.isEmpty()) continue;
    if (!value.startsWith(QLatin1String("ru"), Qt::CaseInsensitive)) return false;
    // "ru", "ru_RU.UTF-8", "ru.KOI8-R", "ru@...", but not a language such as "rup".
    return value.size() == 2 || QStringLiteral("_.@-").contains(value[2]);
  }
  return false;
}

QStringList Language::ListLanguageFolders() const {
  // Sorted, because the order the file system returns is arbitrary here and the first folder is
  // the last fallback.
  QDir dir(folder_.LanguagesDir());
  return dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
}

QString Language::FlagPath(const QString& code) const {
  return folder_.LanguagesDir() + '/' + code + "/Flag.bmp";
}

void Language::StoreCode(IniFile& ini, const QString& code) {
  ini.WriteString("Global", "Language", code);
}

void Language::Select(IniFile& ini) {
  codes_ = ListLanguageFolders();
  QString wanted = ini.ReadString("Global", "Language", QString());
  if (wanted.isEmpty()) wanted = SystemLanguageIsRussian() ? "RUS" : "ENG";
  code_.clear();
  for (const QString& candidate : {wanted, QStringLiteral("ENG")}) {
    for (const QString& code : codes_) {
      if (code.compare(candidate, Qt::CaseInsensitive) == 0) {
        code_ = code;
        break;
      }
    }
    if (!code_.isEmpty()) break;
  }
  if (code_.isEmpty() && !codes_.isEmpty()) code_ = codes_.first();
  if (code_.isEmpty()) {
    lang_dir_.clear();
  } else {
    lang_dir_ = folder_.LanguagesDir() + '/' + code_;
    StoreCode(ini, code_);
  }
  Load();
}

void Language::Load() {
  lang_file_ = lang_dir_.isEmpty() ? IniFile() : IniFile(lang_dir_ + "/Lang.dat");
  SetActiveLangFile(&lang_file_);
  language_id_ = lang_file_.ReadInteger("Global", "LanguageID", kCyrillicLanguageId);
  InitLanguage(language_id_);
}

}  // namespace quibrel
