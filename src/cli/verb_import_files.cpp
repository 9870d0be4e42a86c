#include <QDir>
#include <QFileInfo>
#include <functional>
#include <limits>

#include "cli/cli_verb.h"
#include "core/quibrel_error.h"
#include "scalefiles/scale_files.h"
#include "workspace/language.h"
#include "workspace/workspace.h"

namespace quibrel {
namespace {

int RunImportFiles(CliContext& context) {
  CliArguments arguments(context.arguments);
  QString source = arguments.Option("source");
  QString keypad = arguments.Option("keypad");
  arguments.ExpectEnd();
  if (source.isEmpty()) source = kCardSource;
  if (source != kCardSource && !keypad.isEmpty()) {
    throw CliUsageError{"--keypad is for a card; a scale's layout comes from the scales list"};
  }
  Workspace& workspace = context.workspace;
  workspace.language().Select(workspace.IniFileRef());
  // No window is being rebuilt here, so goods pass the check, as in a download.
  workspace.flRefresh = true;
  GoodsBase& base = workspace.base();
  if (source == kCardSource && keypad.isEmpty()) {
    keypad = base.KeyPads().Lookup("ID", 1, "Name").toString();
  }

  struct Import {
    QString name;
    std::function<QString()> run;  // returns what to tell the operator besides success
  };
  const std::vector<Import> imports = {
      {kGoodsFileName,
       [&] {
         const GoodsImportReport report = ProductsToBase(workspace);
         PrintLine(QStringLiteral("goods: %1 stored").arg(report.stored));
         return GoodsRefusalSummary(report, std::numeric_limits<int>::max());
       }},
      {kTicketFileName,
       [&] {
         ZirkToBase(workspace);
         PrintLine(QStringLiteral("ticket settings: stored"));
         return QString();
       }},
      {kKeypadFileName,
       [&] {
         const KeypadImportReport report = KeypadToBase(workspace, source, keypad);
         PrintLine(QStringLiteral("keypad: %1 keys of %2 stored")
                       .arg(report.keys_set)
                       .arg(report.layout_name));
         return KeypadOverflowText(report);
       }},
  };
  bool failed = false;
  int found = 0;
  for (const Import& import : imports) {
    const QString path = ScaleFileForReading(workspace.folder(), import.name);
    const QFileInfo info(path);
    if (!info.exists()) continue;
    ++found;
    // A download leaves an empty file for what the scale did not hold and imports nothing.
    if (info.size() == 0) {
      PrintError(QDir::toNativeSeparators(path) + " is empty; not imported");
      continue;
    }
    try {
      const QString note = import.run();
      if (!note.isEmpty()) PrintError(note);
    } catch (const QuibrelError& error) {
      PrintError(error.text());
      failed = true;
    }
  }
  if (found == 0)
    PrintError("No scale files in " + QDir::toNativeSeparators(workspace.folder().ExportDir()));
  return failed ? 1 : 0;
}

const CliVerbRegistration kImportFiles(
    "import-files",
    {"import-files [--source ADDRESS|miniSD] [--keypad NAME]",
     "import the goods, ticket and keypad files found in Export/", true, RunImportFiles});

}  // namespace
}  // namespace quibrel
