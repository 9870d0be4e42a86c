// The shipped language packs against the program: every text the program asks for must be in
// every pack, or the operator sees English in the middle of another language.
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

#include "i18n/ini_file.h"
#include "i18n/scale_charset.h"
#include "ui/translate_interface.h"

namespace quibrel {
namespace {

struct Pack {
  const char* code;
  int language_id;
};
constexpr Pack kPacks[] = {{"ENG", 1033}, {"RUS", 1049}, {"FRA", 1036}, {"LAV", 1062}, {"AZE", 1068}};

QString PackPath(const char* code) {
  return QStringLiteral(QUIBREL_SOURCE_DIR "/resources/Languages/") + code + "/Lang.dat";
}

struct TextKey {
  QString section;
  QString key;
  QString where;
};

// Every LangText("Section", "Key", ...) written with literal names anywhere in the sources.
std::vector<TextKey> KeysTheSourcesRead() {
  static const QRegularExpression call(
      R"re(LangText\(\s*"([^"\\]+)"\s*,\s*"([^"\\]+)")re");
  std::vector<TextKey> keys;
  for (const char* folder : {"/src", "/tools"}) {
    QDirIterator it(QStringLiteral(QUIBREL_SOURCE_DIR) + folder, {"*.cpp", "*.h"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString path = it.next();
      QFile file(path);
      if (!file.open(QIODevice::ReadOnly)) continue;
      const QString text = QString::fromUtf8(file.readAll());
      for (auto match = call.globalMatch(text); match.hasNext();) {
        const auto m = match.next();
        keys.push_back({m.captured(1), m.captured(2), path.mid(sizeof(QUIBREL_SOURCE_DIR))});
      }
    }
  }
  return keys;
}

// The captions the window sets, the pick list words and the other texts set by translation.
std::vector<TextKey> KeysTheWindowReads() {
  std::vector<TextKey> keys;
  for (const CaptionEntry& entry : CaptionTable()) {
    keys.push_back({entry.section, entry.key, entry.object_name});
  }
  for (const char* section : {"Products", "Keys"}) {
    keys.push_back({section, "Weight", "type pick list"});
    keys.push_back({section, "Count", "type pick list"});
  }
  keys.push_back({"Products", "BarcodeNo", "BarcodeCombo"});
  keys.push_back({"Misc", "CaptionZirk", "window caption"});
  return keys;
}

TEST(LanguagePackTest, EveryPackHoldsEveryKeyTheProgramReads) {
  std::vector<TextKey> keys = KeysTheSourcesRead();
  ASSERT_FALSE(keys.empty()) << "the source scan found no LangText calls";
  for (const TextKey& key : KeysTheWindowReads()) keys.push_back(key);
  for (const Pack& pack : kPacks) {
    const IniFile ini(PackPath(pack.code));
    ASSERT_TRUE(ini.loaded()) << pack.code;
    for (const TextKey& key : keys) {
      EXPECT_TRUE(ini.ReadString(key.section, key.key, "\x01missing") != "\x01missing")
          << pack.code << " lacks [" << key.section.toStdString() << "] " << key.key.toStdString()
          << " (read in " << key.where.toStdString() << ")";
    }
  }
}

// Every key of a pack as "Section/Key".
QSet<QString> KeysOf(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  QSet<QString> keys;
  QString section;
  for (const QString& raw : QString::fromUtf8(file.readAll()).split('\n')) {
    const QString line = raw.trimmed();
    if (line.startsWith('[')) {
      section = line.mid(1, line.indexOf(']') - 1);
    } else if (line.contains('=')) {
      keys.insert(section + '/' + line.left(line.indexOf('=')).trimmed());
    }
  }
  return keys;
}

TEST(LanguagePackTest, PacksHoldTheSameKeysAndKeepEveryPlaceholder) {
  const QSet<QString> english = KeysOf(PackPath("ENG"));
  const IniFile eng(PackPath("ENG"));
  static const QRegularExpression argument_marker(R"(%\d)");
  for (const Pack& pack : kPacks) {
    SCOPED_TRACE(pack.code);
    const IniFile ini(PackPath(pack.code));
    EXPECT_EQ(ini.encoding(), ProfileEncoding::kUtf8);
    EXPECT_EQ(ini.ReadInteger("Global", "LanguageID", 0), pack.language_id);
    const QSet<QString> keys = KeysOf(PackPath(pack.code));
    for (const QString& key : english - keys) ADD_FAILURE() << "missing " << key.toStdString();
    for (const QString& key : keys - english) ADD_FAILURE() << "extra " << key.toStdString();
    for (const QString& key : english) {
      const QString section = key.section('/', 0, 0);
      const QString name = key.section('/', 1);
      QStringList wanted;
      for (auto m = argument_marker.globalMatch(eng.ReadString(section, name, "")); m.hasNext();) {
        wanted << m.next().captured();
      }
      const QString text = ini.ReadString(section, name, "");
      for (const QString& p : wanted) {
        EXPECT_TRUE(text.contains(p)) << key.toStdString() << " lost " << p.toStdString();
      }
      EXPECT_FALSE(text.isEmpty()) << key.toStdString();
    }
  }
}

TEST(LanguagePackTest, LabelTextsFitTheScaleCharacterSetOfTheirLanguage) {
  // The label texts are printed by the scale in the language's own 8-bit set; a letter outside
  // it would print as nothing.
  for (const Pack& pack : kPacks) {
    const IniFile ini(PackPath(pack.code));
    InitLanguage(pack.language_id);
    for (const char* key : {"BestBefore", "PriceLabel", "WeightLabel", "CountLabel", "TotalLabel"}) {
      const QString text = ini.ReadString("Graph", key, "");
      for (const QChar c : text) {
        EXPECT_NE(u2a(c.unicode()), 0) << pack.code << " [Graph] " << key << " letter U+"
                                       << std::hex << int(c.unicode());
      }
    }
  }
}

}  // namespace
}  // namespace quibrel
