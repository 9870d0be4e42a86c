#pragma once

#include <QString>

namespace quibrel {

// The folder of the running program. Every file the program uses is this folder plus a relative
// path; the working directory is never consulted. QUIBREL_HOME names another program folder.
class ProgramFolder {
 public:
  explicit ProgramFolder(const QString& root);

  // QUIBREL_HOME when set and not empty, else the folder of the executable.
  static ProgramFolder Locate();

  // The root with its trailing separator.
  const QString& Root() const { return root_; }
  QString Path(const QString& relative) const { return root_ + relative; }

  QString LogFile() const { return Path("ZirkLog.txt"); }
  QString TerminalIni() const { return Path("System/terminal.ini"); }
  QString HistoryLog() const { return Path("System/History.log"); }
  QString TemplateBase() const { return Path("System/Default.db"); }
  QString DefaultBase() const { return Path("Data/Base.db"); }
  QString LanguagesDir() const { return Path("Languages"); }
  QString ExportDir() const { return Path("Export"); }
  // A file of ExportDir; the folder is created when missing.
  QString ExportFile(const QString& name) const;

 private:
  QString root_;
};

}  // namespace quibrel
