#pragma once

#include <QString>
#include <QStringList>

#include "discovery/scales_thread.h"

namespace quibrel {

class GoodsBase;
class RowSet;

// The operator's text for a family character of ScalesMode: [Misc] ModeZirk, ModeVorn, ModeNolt
// for 0, 1, 2; empty for any other code.
QString FamilyText(const QString& mode);

// Position of the first scales row whose IP is the identifier and whose Name is set; -1 when
// none. A row whose name the operator cleared no longer stands for its scale.
int NamedScaleRow(const RowSet& scales, const QString& identifier);

// Brings ScalesSettings up to date with a publication in one transaction: every row Offline,
// then every published scale Online, a scale without a named row added as a New row with the
// first keypad layout. The current scales row is the last one touched.
void RefreshScalesTable(GoodsBase& base, const ScalesSnapshot& found);

// The selection dialog's item texts, one per published entry, in order. A scale without a named
// row gets one (New, first layout, no state) and the fixed text of a new scale.
QStringList ScaleItemTexts(GoodsBase& base, const ScalesSnapshot& found);

}  // namespace quibrel
