#include "support/cli_run.h"

#include <QProcess>

#include "support/temp_program_folder.h"

namespace quibrel::testing {

CliResult RunCli(const QString& root, const QStringList& arguments,
                 const QMap<QString, QString>& environment) {
  QProcess cli;
  QProcessEnvironment process_environment = QProcessEnvironment::systemEnvironment();
  process_environment.insert("QUIBREL_HOME", root);
  for (auto it = environment.begin(); it != environment.end(); ++it) {
    process_environment.insert(it.key(), it.value());
  }
  cli.setProcessEnvironment(process_environment);
  cli.start(BuiltExecutable("quibrel-cli"), arguments);
  const bool finished = cli.waitForFinished(60000);
  return {finished ? cli.exitCode() : -1, QString::fromUtf8(cli.readAllStandardOutput()),
          QString::fromUtf8(cli.readAllStandardError())};
}

}  // namespace quibrel::testing
