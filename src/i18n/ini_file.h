#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "i18n/text_decoding.h"

namespace quibrel {

// An INI file read and written with the rules of the Windows profile functions: section and key
// names match without letter case, the first occurrence wins, blanks around a value are dropped
// and matching quotes removed; a missing file, section or key gives the default, a present empty
// value the empty text. Writing a key keeps every other line of the file.
//
// A section that appears twice is read as one: its keys are searched in file order, so the first
// occurrence of a key still wins, but a key that only the later copy holds is found too.
class IniFile {
 public:
  IniFile() = default;
  // Reads the file now; a missing or unreadable file reads as empty.
  explicit IniFile(const QString& path);

  const QString& path() const { return path_; }
  // Whether the file could be read when this object was made.
  bool loaded() const { return loaded_; }
  ProfileEncoding encoding() const { return encoding_; }

  QString ReadString(const QString& section, const QString& key, const QString& default_text) const;
  int ReadInteger(const QString& section, const QString& key, int default_value) const;
  // Stores the value in memory and writes the whole file back in the encoding it was read in (a
  // legacy 8-bit file becomes UTF-8). Line breaks inside the value become blanks, so a value can
  // never add a line of its own. Returns false when the file cannot be written; the value is then
  // kept in memory only.
  bool WriteString(const QString& section, const QString& key, const QString& value);

  // Parses text already decoded; used by the constructor and by tests.
  void ParseText(const QString& text);

 private:
  struct Line {
    enum Kind { kOther, kSection, kKey } kind = kOther;
    QString name;  // section or key name as written
    QString raw;   // the line as read
  };
  // Index of the first line of the section (its header), or -1.
  int FindSection(const QString& section) const;
  // Index of the first key line of that name in any copy of the section, or -1.
  int FindKey(const QString& section, const QString& key) const;
  static QString CleanValue(const QString& raw_line);
  static QString StoredValue(const QString& value);

  QString path_;
  std::vector<Line> lines_;
  bool loaded_ = false;
  bool crlf_ = false;
  bool final_line_break_ = true;
  ProfileEncoding encoding_ = ProfileEncoding::kUtf8;
};

}  // namespace quibrel
