#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace quibrel {

// An INI file read and written with the rules of the Windows profile functions: section and key
// names match without letter case, the first occurrence wins, blanks around a value are dropped
// and matching quotes removed; a missing file, section or key gives the default, a present empty
// value the empty text. Writing a key keeps every other line of the file.
class IniFile {
 public:
  IniFile() = default;
  // Reads the file now; a missing or unreadable file reads as empty.
  explicit IniFile(const QString& path);

  const QString& path() const { return path_; }

  QString ReadString(const QString& section, const QString& key, const QString& default_text) const;
  int ReadInteger(const QString& section, const QString& key, int default_value) const;
  // Stores the value in memory and writes the whole file back (UTF-8). Returns false when the
  // file cannot be written; the value is then kept in memory only.
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
  // Index of the key line within the section starting at section_line, or -1.
  int FindKey(int section_line, const QString& key) const;
  static QString CleanValue(const QString& raw_line);

  QString path_;
  std::vector<Line> lines_;
  bool crlf_ = false;
};

}  // namespace quibrel
