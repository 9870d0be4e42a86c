// quibrel-cli: the window's capabilities for scripts. Exit 0 on success, 1 on failure (the message
// on stderr), 2 on a usage error.
#include <QCoreApplication>

#include "cli/cli_verb.h"
#include "core/program_folder.h"
#include "core/quibrel_error.h"
#include "workspace/workspace.h"

namespace {

void PrintHelp() {
  using quibrel::PrintLine;
  PrintLine("usage: quibrel-cli [--help] VERB ...");
  PrintLine("");
  PrintLine("Works on the program folder it was started from, or on QUIBREL_HOME.");
  PrintLine("");
  PrintLine("verbs:");
  for (const auto& [name, verb] : quibrel::CliVerbs()) {
    PrintLine("  " + verb.usage.leftJustified(48) + " " + verb.summary);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QStringList arguments = app.arguments().mid(1);
  if (arguments.isEmpty()) {
    PrintHelp();
    return 2;
  }
  if (arguments.first() == "--help" || arguments.first() == "-h" || arguments.first() == "help") {
    PrintHelp();
    return 0;
  }
  const QString name = arguments.takeFirst();
  const auto found = quibrel::CliVerbs().find(name);
  if (found == quibrel::CliVerbs().end()) {
    quibrel::PrintError("quibrel-cli: unknown verb '" + name + "' (see quibrel-cli --help)");
    return 2;
  }
  const quibrel::CliVerb& verb = found->second;
  try {
    quibrel::Workspace workspace(quibrel::ProgramFolder::Locate());
    if (verb.needs_base) workspace.OpenSettingsAndBase();
    quibrel::CliContext context{workspace, arguments};
    return verb.run(context);
  } catch (const quibrel::CliUsageError& error) {
    quibrel::PrintError("quibrel-cli " + name + ": " + error.text);
    quibrel::PrintError("usage: quibrel-cli " + verb.usage);
    return 2;
  } catch (const quibrel::QuibrelError& error) {
    quibrel::PrintError(error.text());
    return 1;
  } catch (const std::exception& error) {
    quibrel::PrintError(QString::fromLocal8Bit(error.what()));
    return 1;
  }
}
