#include "i18n/ini_file.h"

#include <QFile>
#include <QSaveFile>

#include "i18n/text_decoding.h"

namespace quibrel {

IniFile::IniFile(const QString& path) : path_(path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return;
  ParseText(DecodeProfileText(file.readAll()));
}

void IniFile::ParseText(const QString& text) {
  lines_.clear();
  crlf_ = text.contains(QLatin1String("\r\n"));
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
      if (equals > 0) {
        line.kind = Line::kKey;
        line.name = raw.left(equals).trimmed();
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

int IniFile::FindKey(int section_line, const QString& key) const {
  for (size_t i = section_line + 1; i < lines_.size(); ++i) {
    if (lines_[i].kind == Line::kSection) break;
    if (lines_[i].kind == Line::kKey && lines_[i].name.compare(key, Qt::CaseInsensitive) == 0) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

QString IniFile::CleanValue(const QString& raw_line) {
  QString value = raw_line.mid(raw_line.indexOf('=') + 1).trimmed();
  if (value.size() >= 2) {
    const QChar first = value.front();
    if ((first == '"' || first == '\'') && value.back() == first) value = value.mid(1, value.size() - 2);
  }
  return value;
}

QString IniFile::ReadString(const QString& section, const QString& key,
                            const QString& default_text) const {
  const int section_line = FindSection(section);
  if (section_line < 0) return default_text;
  const int key_line = FindKey(section_line, key);
  if (key_line < 0) return default_text;
  return CleanValue(lines_[key_line].raw);
}

int IniFile::ReadInteger(const QString& section, const QString& key, int default_value) const {
  bool ok = false;
  const int value = ReadString(section, key, QString()).toInt(&ok);
  return ok ? value : default_value;
}

bool IniFile::WriteString(const QString& section, const QString& key, const QString& value) {
  Line key_line{Line::kKey, key, key + '=' + value};
  int section_line = FindSection(section);
  if (section_line < 0) {
    lines_.push_back(Line{Line::kSection, section, '[' + section + ']'});
    lines_.push_back(key_line);
  } else if (const int existing = FindKey(section_line, key); existing >= 0) {
    lines_[existing].raw = lines_[existing].name + '=' + value;
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
  for (const Line& line : lines_) text += line.raw + eol;
  file.write(text.toUtf8());
  return file.commit();
}

}  // namespace quibrel
