#include "cli/cli_verb.h"

#include <cstdio>

namespace quibrel {

std::map<QString, CliVerb>& CliVerbs() {
  static std::map<QString, CliVerb> verbs;
  return verbs;
}

CliVerbRegistration::CliVerbRegistration(const QString& name, CliVerb verb) {
  CliVerbs()[name] = std::move(verb);
}

QString CliArguments::Option(const QString& name) {
  const QString flag = "--" + name;
  const int index = arguments_.indexOf(flag);
  if (index < 0) return QString();
  if (index + 1 >= arguments_.size()) throw CliUsageError{flag + " needs a value"};
  const QString value = arguments_[index + 1];
  arguments_.remove(index, 2);
  return value;
}

bool CliArguments::HasOption(const QString& name) const { return arguments_.contains("--" + name); }

QStringList CliArguments::AllOptions(const QString& name) {
  QStringList values;
  while (HasOption(name)) values << Option(name);
  return values;
}

bool CliArguments::Flag(const QString& name) { return arguments_.removeAll("--" + name) > 0; }

void CliArguments::ExpectEnd() const {
  if (!arguments_.isEmpty()) throw CliUsageError{"unexpected argument: " + arguments_.first()};
}

void PrintLine(const QString& text) {
  std::fputs((text + '\n').toLocal8Bit().constData(), stdout);
  std::fflush(stdout);
}

void PrintError(const QString& text) {
  std::fputs((text + '\n').toLocal8Bit().constData(), stderr);
  std::fflush(stderr);
}

}  // namespace quibrel
