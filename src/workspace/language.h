#pragma once

#include <QString>
#include <QStringList>

#include "core/program_folder.h"
#include "i18n/ini_file.h"

namespace quibrel {

// The interface language of the run: the language folders beside the program, the active one
// (LangDir) with its text file (LangFile), and through its LanguageID the scale character set.
// LangText reads LangFile while this object lives.
class Language {
 public:
  explicit Language(ProgramFolder folder);
  ~Language();
  Language(const Language&) = delete;
  Language& operator=(const Language&) = delete;

  // The language choice made each time a base is opened: lists the language folders, takes the
  // code stored in terminal.ini ([Global] Language) or, when none is stored, RUS on a Russian
  // system and ENG otherwise. A code without a folder of that name (letter case aside) falls back
  // to ENG, or to the first folder listed. The folder's own name is stored back, LangDir set and
  // Load run. With no language folder at all nothing is stored: the English defaults and the
  // Cyrillic set apply.
  void Select(IniFile& ini);
  // What the language list stores when the operator picks a language; the next Select uses it.
  static void StoreCode(IniFile& ini, const QString& code);

  // Opens LangDir/Lang.dat afresh as LangFile, makes it the file LangText reads and makes the
  // character set of its [Global] LanguageID (1049 when missing or not a number) active.
  void Load();

  // The language folders found by the last Select, sorted by name.
  const QStringList& Codes() const { return codes_; }
  // Where a language's flag picture is; it may be missing or not an image.
  QString FlagPath(const QString& code) const;
  // The active code, empty when no language folder exists.
  const QString& Code() const { return code_; }
  // Full path of the active language folder without a trailing separator; empty when none.
  const QString& LangDir() const { return lang_dir_; }
  const IniFile& LangFile() const { return lang_file_; }
  // The LanguageID that chose the active character set.
  int LanguageID() const { return language_id_; }

  // Whether the user's locale is Russian: the first of LC_ALL, LC_MESSAGES and LANG that is set
  // and not empty starts with "ru".
  static bool SystemLanguageIsRussian();

 private:
  QStringList ListLanguageFolders() const;

  ProgramFolder folder_;
  QStringList codes_;
  QString code_;
  QString lang_dir_;
  IniFile lang_file_;
  int language_id_ = 1049;
};

}  // namespace quibrel
