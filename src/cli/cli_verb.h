#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <map>

namespace quibrel {

class Workspace;

// What a verb gets: the workspace with the goods base open, and its arguments.
struct CliContext {
  Workspace& workspace;
  QStringList arguments;
};

// Thrown for a usage error; main() prints it with the verb's usage and exits 2.
struct CliUsageError {
  QString text;
};

struct CliVerb {
  QString usage;    // "goods add [--plu N] ..."
  QString summary;  // one line for --help
  bool needs_base = true;
  // Returns the exit status: 0 success, 1 failure (message already on stderr).
  std::function<int(CliContext&)> run;
};

// The verbs by name. Each verb's file registers it with a static CliVerbRegistration.
std::map<QString, CliVerb>& CliVerbs();

struct CliVerbRegistration {
  CliVerbRegistration(const QString& name, CliVerb verb);
};

// Argument helpers shared by the verbs.
class CliArguments {
 public:
  explicit CliArguments(QStringList arguments) : arguments_(std::move(arguments)) {}
  // The value after --name, or empty when absent; usage error when the value is missing.
  QString Option(const QString& name);
  bool HasOption(const QString& name) const;
  QStringList AllOptions(const QString& name);  // every value of a repeatable option
  bool Flag(const QString& name);               // --name without a value
  // Usage error when anything is left unconsumed.
  void ExpectEnd() const;

 private:
  QStringList arguments_;
};

// Writes a line to stdout or stderr in the terminal's encoding.
void PrintLine(const QString& text);
void PrintError(const QString& text);

}  // namespace quibrel
