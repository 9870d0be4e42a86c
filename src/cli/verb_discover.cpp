#include "cli/cli_verb.h"
#include "discovery/scales_table.h"
#include "discovery/scales_thread.h"
#include "discovery/serial_search.h"
#include "workspace/language.h"
#include "workspace/workspace.h"

namespace quibrel {
namespace {

// Runs the window's search for a number of cycles and prints what the last one published.
int RunDiscover(CliContext& context) {
  CliArguments arguments(context.arguments);
  const QString cycles_text = arguments.Option("cycles");
  arguments.ExpectEnd();
  int cycles = 1;
  if (!cycles_text.isEmpty()) {
    bool ok = false;
    cycles = cycles_text.toInt(&ok);
    if (!ok || cycles < 1) throw CliUsageError{"--cycles wants a whole number of at least 1"};
  }
  Workspace& workspace = context.workspace;
  workspace.language().Select(workspace.IniFileRef());
  SurveySerialPorts(workspace);

  QStringList rejected;
  ScalesSearchOptions options = SearchOptionsFor(workspace, &rejected);
  for (const QString& entry : rejected) {
    PrintError("discover: [Discovery] Addresses: not an IPv4 address, skipped: " + entry);
  }
  options.max_cycles = cycles;
  TScalesThread search;
  search.StartScalesSearch(options);
  while (search.Running()) search.WaitForCycles(cycles, std::chrono::hours(1));
  search.StopScalesSearch();

  const ScalesSnapshot found = search.Scales();
  for (int i = 0; i < found.Scales.size(); ++i) {
    const QString mode = found.ScalesMode.value(i);
    QString family = FamilyText(mode);
    if (family.isEmpty() && mode.size() == 1) family = QString::number(mode.at(0).unicode());
    PrintLine(found.Scales[i] + "\t" + family);
  }
  return 0;
}

const CliVerbRegistration kDiscover(
    "discover", {"discover [--cycles N]",
                 "search the networks, listed addresses and serial ports for scales", true,
                 RunDiscover});

}  // namespace
}  // namespace quibrel
