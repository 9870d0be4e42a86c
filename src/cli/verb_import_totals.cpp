#include "cli/cli_verb.h"
#include "scalefiles/scale_files.h"
#include "workspace/language.h"
#include "workspace/workspace.h"

namespace quibrel {
namespace {

int RunImportTotals(CliContext& context) {
  CliArguments arguments(context.arguments);
  QString source = arguments.Option("source");
  arguments.ExpectEnd();
  if (source.isEmpty()) source = kCardSource;
  // The type words are those of the workspace's language.
  context.workspace.language().Select(context.workspace.IniFileRef());
  const TotalsImportReport report = TotalsToBase(context.workspace, source);
  PrintLine(QStringLiteral("totals: %1 rows added").arg(report.rows));
  return 0;
}

const CliVerbRegistration kImportTotals("import-totals",
                                        {"import-totals [--source ADDRESS|miniSD]",
                                         "add the records of Export/Totals.dat to the totals", true,
                                         RunImportTotals});

}  // namespace
}  // namespace quibrel
