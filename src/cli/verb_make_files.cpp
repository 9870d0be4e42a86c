#include <QDir>

#include "cli/cli_verb.h"
#include "core/quibrel_error.h"
#include "i18n/lang_text.h"
#include "scalefiles/scale_files.h"
#include "workspace/language.h"
#include "workspace/workspace.h"

namespace quibrel {
namespace {

int RunMakeFiles(CliContext& context) {
  CliArguments arguments(context.arguments);
  const QString keypad = arguments.Option("keypad");
  arguments.ExpectEnd();
  Workspace& workspace = context.workspace;
  // Names go out in the character set of the workspace's language, as the window writes them.
  workspace.language().Select(workspace.IniFileRef());
  RowSet& layouts = workspace.base().KeyPads();
  const bool found = keypad.isEmpty() ? layouts.Locate("ID", 1) : layouts.Locate("Name", keypad);
  if (!found) {
    throw QuibrelError(LangText("Text", "NoSuchKeypad", "There is no keypad layout named \"%1\".")
                           .arg(keypad.isEmpty() ? QStringLiteral("1") : keypad));
  }
  MakeBaseFile(workspace);
  MakeZirkFile(workspace);
  MakeKeypadFileForScales(workspace);
  const ProgramFolder& folder = workspace.folder();
  for (const QString& name : {kGoodsFileName, kTicketFileName, kKeypadFileName}) {
    PrintLine(QDir::toNativeSeparators(ScaleFileForReading(folder, name)));
  }
  return 0;
}

const CliVerbRegistration kMakeFiles(
    "make-files", {"make-files [--keypad NAME]",
                   "write Export/products.dat, Zirk.dat and keyboard.dat (layout NAME, or 1)", true,
                   RunMakeFiles});

}  // namespace
}  // namespace quibrel
