#include <QDir>

#include "cli/cli_verb.h"
#include "core/version.h"
#include "workspace/workspace.h"

namespace quibrel {
namespace {

// Lines other parts of the program add to "info", in order.
int RunInfo(CliContext& context) {
  CliArguments(context.arguments).ExpectEnd();
  PrintLine("folder: " + QDir::toNativeSeparators(context.workspace.folder().Root()));
  PrintLine("database: " + context.workspace.Database());
  PrintLine("version: " + GetFullVersion());
  Language& language = context.workspace.language();
  language.Select(context.workspace.IniFileRef());
  PrintLine("language: " + language.Code());
  PrintLine("language-id: " + QString::number(language.LanguageID()));
  return 0;
}

const CliVerbRegistration kInfo("info", {"info", "the program folder, goods base and version", true,
                                         RunInfo});

}  // namespace
}  // namespace quibrel
