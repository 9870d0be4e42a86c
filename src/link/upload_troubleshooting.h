#pragma once

#include <QStringList>

namespace quibrel {

class StatusSink;

// Which exchange shows the troubleshooting text: the upload spells its fourth line
// "switched", the downloads "swithed", as the language files have always had it.
enum class TroubleShootingFor { kUpload, kDownload };

// The eleven lines shown when no scale is known, read from the language file now.
QStringList TroubleShootingLines(TroubleShootingFor exchange);

// Shows them in the failure colour, left-aligned, with Close and Help (modal until the operator
// closes it), lets pending events run and hides the panel.
void ShowTroubleShooting(StatusSink& status, QStringList& MessageList, TroubleShootingFor exchange);

}  // namespace quibrel
