#pragma once

#include <QByteArray>
#include <QString>

namespace quibrel {

class ProgramFolder;

// The whole of a scale file in the export folder, found in any letter case. Throws QuibrelError
// when it is missing or unreadable.
QByteArray ReadScaleFile(const ProgramFolder& folder, const QString& name);
// Replaces the file with bytes in one step: until everything is written the old file stays.
void WriteScaleFile(const ProgramFolder& folder, const QString& name, const QByteArray& bytes);

}  // namespace quibrel
