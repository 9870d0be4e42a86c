#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace quibrel {

class ProgramFolder;
class StatusSink;
class Workspace;

// The names of the scale files in the export folder. Scales, cards and older copies spell them
// with other letter cases; ScaleFileForReading finds any spelling.
inline const QString kGoodsFileName = QStringLiteral("products.dat");
inline const QString kTicketFileName = QStringLiteral("Zirk.dat");
inline const QString kKeypadFileName = QStringLiteral("keyboard.dat");
inline const QString kTotalsFileName = QStringLiteral("Totals.dat");

// The file of that name in the export folder, in whatever letter case it exists (the newest when
// several do); the name as given when there is none. The folder is created when missing.
QString ScaleFileForReading(const ProgramFolder& folder, const QString& name);
// The path to write the file to; copies under other letter cases are removed, so that a reader
// cannot pick up a stale one.
QString ScaleFileForWriting(const ProgramFolder& folder, const QString& name);

// Every writer builds the whole file first and replaces the old one only when all of it could be
// made, so a failure leaves the previous file as it was. Writers throw QuibrelError.

// products.dat from the goods list as it is shown (its sort and search), names in the scale
// character set. A price that is not a number stops it before anything is written.
void MakeBaseFile(Workspace& workspace);
// Zirk.dat from the ticket lines.
void MakeZirkFile(Workspace& workspace);
// keyboard.dat from the layout that is current in the keypads list; the caller makes current the
// layout it wants (an upload: the scale's; a card: the one chosen in the card dialog).
void MakeKeypadFileForScales(Workspace& workspace);
void MakeKeypadFileForCard(Workspace& workspace);

// Every import is all or nothing: it reads and checks the whole file first, then changes the
// tables in one transaction. A file that cannot be read, ends inside a record or holds a value
// that cannot be stored throws QuibrelError and leaves the tables exactly as they were.

struct GoodsImportReport {
  int stored = 0;
  int skipped_zero_plu = 0;  // PLU-0 records, which the scale uses as gaps
  // Records the goods check refused, in file order, with the check's message for each.
  QVector<qint64> refused_plus;
  QStringList refusals;
};
// Replaces the whole goods list (also goods a search hides) with the records of products.dat.
// Callers do not empty the table first: a damaged file must leave the old list in place. While
// workspace.flRefresh is true every record passes the goods check; refused records are dropped
// and reported once, through the sink when there is one.
GoodsImportReport ProductsToBase(Workspace& workspace, StatusSink* sink = nullptr);
// One status line for the refused records, listing their PLUs (at most max_plus of them, then
// how many more); empty when none was refused.
QString GoodsRefusalSummary(const GoodsImportReport& report, int max_plus = 50);

// Reads Zirk.dat into the four ticket lines.
void ZirkToBase(Workspace& workspace);

// The card word: a source that is a memory card rather than a scale.
inline const QString kCardSource = QStringLiteral("miniSD");

struct KeypadImportReport {
  int layout = 0;  // the KeyPads ID that received the keys
  QString layout_name;
  int keys_set = 0;          // keys 1 to keys_set were set
  int entries_left_out = 0;  // entries past key 33, which no key of the layout can take
};
// Reads keyboard.dat into the keys of one layout. num is the address of the scale it came from
// (its layout in the scales list, layout 1 when the scale is unknown or has none) or kCardSource,
// in which case card_layout names the layout chosen for the card. Entries fill keys 1 to 33 in
// file order; a longer file is reported through the sink and its extra entries stored nowhere.
KeypadImportReport KeypadToBase(Workspace& workspace, const QString& num,
                                const QString& card_layout = QString(), StatusSink* sink = nullptr);
// The status line for entries left out; empty when there were none.
QString KeypadOverflowText(const KeypadImportReport& report);

struct TotalsImportReport {
  int rows = 0;
};
// Appends one Totals row per record of Totals.dat, stamped with the source (a scale address or
// kCardSource) and the time of reading.
TotalsImportReport TotalsToBase(Workspace& workspace, const QString& IP);

}  // namespace quibrel
