#pragma once

#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

#include "core/program_folder.h"
#include "core/zirk_log.h"
#include "db/goods_base.h"
#include "i18n/ini_file.h"
#include "workspace/language.h"

namespace quibrel {

// What one run of the program works on: its folder, the settings file, the open goods base, the
// log and the shared lists. The window and the command line each create one at start and pass it
// by reference.
class Workspace {
 public:
  explicit Workspace(ProgramFolder folder);
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  const ProgramFolder& folder() const { return folder_; }
  IniFile& IniFileRef() { return ini_file_; }
  GoodsBase& base() { return base_; }
  // The interface language: LangDir, LangFile and the scale character set.
  Language& language() { return language_; }
  const ZirkLog& log() const { return log_; }

  // The full path of the open goods base.
  const QString& Database() const { return database_; }

  // Reopens the settings file, closes the base, chooses the base file, writes it to
  // Global/Base and opens it. Throws QuibrelError, leaving the base closed.
  void OpenSettingsAndBase();

  // The lines of the next status message.
  QStringList MessageList;
  // The serial port numbers ("1" to "9") that opened at start.
  QStringList COMList;
  // False while the window is rebuilt from the base; change handlers do nothing meanwhile.
  bool flRefresh = false;
  // The goods copy buffer, one slot per goods field.
  QVector<QVariant> TempProduct;

 private:
  ProgramFolder folder_;
  IniFile ini_file_;
  Language language_;
  ZirkLog log_;
  GoodsBase base_;
  QString database_;
};

}  // namespace quibrel
