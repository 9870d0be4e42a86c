#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace quibrel::testing {

// What one run of the built quibrel-cli gave.
struct CliResult {
  int exit_code = -1;  // -1 when it did not finish within a minute
  QString out;
  QString err;
};

// Runs quibrel-cli on the program folder at root, as a back-office script would, with extra
// environment variables on top of the test's own.
CliResult RunCli(const QString& root, const QStringList& arguments,
                 const QMap<QString, QString>& environment = {});

}  // namespace quibrel::testing
