#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "db/row_set.h"
#include "link/block_sender.h"
#include "link/tcp_transport.h"

namespace quibrel {

class ComUnit;
class GoodsBase;
class ScaleLink;
class StatusSink;
class Workspace;

// What the upload works with. The command creates the TCP client for its own length and hands
// it in; the link and the port module live for the run.
struct UploadContext {
  Workspace& workspace;
  ScaleLink& link;
  StatusSink& status;
  TcpTransport& TCP;
  ComUnit& com;
  // Every scale listens on 5001; tests and benchmarks aim at an emulator's port instead.
  quint16 tcp_port = kScalePort;
};

// What became of one entry of the scales list.
enum class VisitOutcome {
  kNotVisited,        // not ticked
  kConnectionFailed,  // no connection, or the port did not open: nothing was sent
  kCompleted,         // all three files went and the goods file was not stopped
  kStopped,           // the goods file was refused or unanswered; ticket and keypad still went
};

// Pauses of a visit, so that the operator can read each message.
inline constexpr int kMessagePauseMs = 1000;
inline constexpr int kDisconnectPauseMs = 1000;
inline constexpr int kVisitEndPauseMs = 2000;

// The goods file (products.dat) and the ticket file (Zirk.dat) must be in the export folder.
// Visits every entry of Scales whose ticked flag is set, in order: an identifier beginning with C
// over its serial port, any other over TCP. Each visit sends Hello, the goods file, the ticket
// file and the keypad file of the layout the scales table assigns to that scale (made just
// before), and reports on the status sink. A scale that cannot be reached is reported and
// skipped. Errors (the scale closed the connection, a file cannot be read or made) throw
// QuibrelError and end the upload there: the scales not yet visited are not visited. The result
// holds one outcome per entry of Scales.
std::vector<VisitOutcome> TransmitFiles(UploadContext& context, const QStringList& Scales,
                                        const std::vector<bool>& ticked);

// The TCP visit of one scale.
VisitOutcome VisitTcpScale(UploadContext& context, const QString& identifier);

// The serial visit of the scale on port "COMn" of identifier; num is its index in the scales
// list. Waits for a running discovery probe to end before it opens the port, and keeps the port
// to itself until it has closed it. True when the port opened, whatever happened afterwards;
// outcome (when given) says how the visit ended.
bool SendToComScales(UploadContext& context, const QString& identifier, int num,
                     VisitOutcome* outcome = nullptr);

// The port number of a serial identifier ("COM3" gives 3); 0 when it names none of COM1..COM9.
int ComPortOf(const QString& identifier);

// The lines of a visit, read from the language file when shown.
QString ConnectingLine();
QString ConnectionFailedLine(const QString& name, const QString& identifier);
QString TransmitDataLine(const QString& name, const QString& identifier);
QString TransmitCompletedLine(const QString& name, const QString& identifier);

// The keypad layout a scale gets: the layout the scales table names for the identifier, or the
// first layout when the scale has no row, no layout or the name of one that no longer exists.
// Makes it current in the keypads list for as long as this lives; the list goes back to the row
// it was on when this ends, however the visit ends.
class ScaleKeypadChoice {
 public:
  ScaleKeypadChoice(GoodsBase& base, const QString& identifier);
  ~ScaleKeypadChoice();
  ScaleKeypadChoice(const ScaleKeypadChoice&) = delete;
  ScaleKeypadChoice& operator=(const ScaleKeypadChoice&) = delete;

 private:
  RowSet& keypads_;
  RowSet::Bookmark former_;
};

}  // namespace quibrel
