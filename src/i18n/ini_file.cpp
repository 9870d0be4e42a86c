#include "i18n/ini_file.h"

#include <QFile>
#include <QSaveFile>

namespace quibrel {

IniFile::IniFile(const QString& path) : path_(path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return;
  DecodedProfile decoded = DecodeProfile(file.readAll());
  loaded_ = true;
  encoding_ = decoded.encoding;
  ParseText(decoded.text);
}

void IniFile::ParseText(const QString& text) {
  lines_.clear();
  crlf_ = text.contains(QLatin1String("\r\n"));
  final_line_break_ = text.isEmpty() || text.endsWith('\n');
  const QStringList raw_lines = text.split('\n');
  for (int i = 0; i < raw_lines.size(); ++i) {
    QString raw = raw_lines[i];
    if (raw.endsWith('\r')) raw.chop(1);
    if (i == raw_lines.size() - 1 && raw.isEmpty()) break;  // the text ended with a line break
    Line line;
    line.raw = raw;
    const QString trimmed = raw.trimmed();
    if (trimmed.startsWith('[')) {
      const int close = trimmed.indexOf(']');
      line.kind = Line::kSection;
      line.name = (close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1)).trimmed();
    } else if (!trimmed.startsWith(';')) {
      const int equals = raw.indexOf('=');
      if (equals >= 0) {
        line.name = raw.left(equals).trimmed();
        if (!line.name.isEmpty()) line.kind = Line::kKey;
      }
    }
    lines_.push_back(std::move(line));
  }
}

int IniFile::FindSection(const QString& section) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == Line::kSection &&
        lines_[i].name.compare(section, Qt::CaseInsensitive) == 0) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

int IniFile::FindKey(const QString& section, const QString& key) const {
  bool inside = false;
  for (size_t i = 0; i < lines_.size(); ++i) {
    const Line& line = lines_[i];
    if (line.kind == Line::kSection) {
      inside = line.name.compare(section, Qt::CaseInsensitive) == 0;
    } else if (inside && line.kind == Line::kKey &&
               line.name.compare(key, Qt::CaseInsensitive) == 0) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

QString IniFile::CleanValue(const QString& raw_line) {
  QString value = raw_line.mid(raw_line.indexOf('=') + 1).trimmed();
  if (value.size() >= 2) {
    const QChar first = value.front();
    if ((first == '"' || first == '\'') && value.back() == first) {
      value = value.mid(1, value.size() - 2);
    }
  }
  return value;
}

QString IniFile::StoredValue(const QString& value) {
  QString stored = value;
  stored.replace(QLatin1String("\r\n"), QLatin1String(" "));
  stored.replace('\r', ' ').replace('\n', ' ');
  // Blanks at either end, or a pair of outer quotes, would be lost on reading; quoting keeps them.
  const bool blank_ends = !stored.isEmpty() && (stored.front().isSpace() || stored.back().isSpace());
  const bool quoted = stored.size() >= 2 && (stored.front() == '"' || stored.front() == '\'') &&
                      stored.back() == stored.front();
  if (blank_ends || quoted) stored = '"' + stored + '"';
  return stored;
}

QString IniFile::ReadString(const QString& section, const QString& key,
                            const QString& default_text) const {
  const int key_line = FindKey(section, key);
  if (key_line < 0) return default_text;
  return CleanValue(lines_[key_line].raw);
}

int IniFile::ReadInteger(const QString& section, const QString& key, int default_value) const {
  bool ok = false;
  const int value = ReadString(section, key, QString()).toInt(&ok);
  return ok ? value : default_value;
}

bool IniFile::WriteString(const QString& section, const QString& key, const QString& value) {
  const QString stored = StoredValue(value);
  Line key_line{Line::kKey, key, key + '=' + stored};
  const int section_line = FindSection(section);
  if (section_line < 0) {
    lines_.push_back(Line{Line::kSection, section, '[' + section + ']'});
    lines_.push_back(key_line);
  } else if (const int existing = FindKey(section, key); existing >= 0) {
    lines_[existing].raw = lines_[existing].name + '=' + stored;
  } else {
    // After the section's last key, before any blank lines that separate it from the next one.
    size_t insert_at = section_line + 1;
    for (size_t i = section_line + 1; i < lines_.size() && lines_[i].kind != Line::kSection; ++i) {
      if (!lines_[i].raw.trimmed().isEmpty()) insert_at = i + 1;
    }
    lines_.insert(lines_.begin() + insert_at, key_line);
  }
  if (path_.isEmpty()) return false;
  QSaveFile file(path_);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const QString eol = crlf_ ? QStringLiteral("\r\n") : QStringLiteral("\n");
  QString text;
  for (size_t i = 0; i < lines_.size(); ++i) {
    text += lines_[i].raw;
    if (i + 1 < lines_.size() || final_line_break_) text += eol;
  }
  // A file that ended without a line break keeps ending so; a key appended to it must not join
  // the old last line, which is why the break is only left off the very last line.
  file.write(EncodeProfileText(text, encoding_));
  if (!file.commit()) return false;
  loaded_ = true;
  return true;
}

}  // namespace quibrel
