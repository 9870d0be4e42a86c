#include "link/upload.h"

#include <chrono>
#include <mutex>
#include <thread>

#include "core/status_sink.h"
#include "db/goods_base.h"
#include "i18n/lang_text.h"
#include "link/com_unit.h"
#include "link/scale_link.h"
#include "link/serial_port_lock.h"
#include "link/serial_transport.h"
#include "scalefiles/scale_files.h"
#include "workspace/workspace.h"

namespace quibrel {

namespace {

// The name the operator gave the scale, looked up afresh for every message.
QString ScaleName(Workspace& workspace, const QString& identifier) {
  return workspace.base().Scales().Lookup("IP", identifier, "Name").toString();
}

void Show(UploadContext& context, const QString& line, const QColor& colour) {
  context.workspace.MessageList.append(line);
  context.status.ShowMessageWindow(100, 50, colour, Qt::black, Qt::AlignHCenter, false,
                                   context.workspace.MessageList);
  context.status.ProcessEvents();
}

// The link writes to a transport only for the length of one visit; the TCP client and the
// serial transport end before the link does.
class TransportInUse {
 public:
  TransportInUse(ScaleLink& link, Transport& transport) : link_(link) {
    link_.SetTransport(&transport);
  }
  ~TransportInUse() { link_.SetTransport(nullptr); }
  TransportInUse(const TransportInUse&) = delete;
  TransportInUse& operator=(const TransportInUse&) = delete;

 private:
  ScaleLink& link_;
};

// The serial port for one visit: taken from the discovery probe only when it has let go, so the
// visit never shares the line with a Discover question, and closed again however the visit ends.
// The window keeps answering while it waits (a probe can take 5 s).
class PortHold {
 public:
  PortHold(ComUnit& com, StatusSink& status) : com_(com), lock_(SerialPortLock(), std::defer_lock) {
    while (!lock_.try_lock()) {
      status.ProcessEvents();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  ~PortHold() { Close(); }
  PortHold(const PortHold&) = delete;
  PortHold& operator=(const PortHold&) = delete;

  // A port whose settings failed is closed too: nothing else is to hold the device meanwhile.
  void Close() {
    if (!lock_.owns_lock()) return;
    com_.CloseComm();
    lock_.unlock();
  }

 private:
  ComUnit& com_;
  std::unique_lock<std::mutex> lock_;
};

// The three files, in order, whatever became of the goods file.
GoodsResult SendFiles(UploadContext& context, const QString& identifier, bool serial) {
  const ProgramFolder& folder = context.workspace.folder();
  ScaleLink& link = context.link;
  StatusSink& status = context.status;
  const GoodsResult result =
      serial ? SendPLUFileToCom(link, status, folder) : SendPLUFile(link, status, folder);
  if (serial) {
    SendTextFileToCom(link, status, folder);
  } else {
    SendTextFile(link, status, folder);
  }
  ScaleKeypadChoice keypad(context.workspace.base(), identifier);
  MakeKeypadFileForScales(context.workspace);
  if (serial) {
    SendKeypadFileToCom(link, status, folder);
  } else {
    SendKeypadFile(link, status, folder);
  }
  return result;
}

}  // namespace

QString ConnectingLine() { return LangText("Text", "Connecting", "Connecting..."); }

QString ConnectionFailedLine(const QString& name, const QString& identifier) {
  return LangText("Text", "ConnectionFailed", "Connection failed to scales") + " " + name + "(" +
         identifier + ")";
}

QString TransmitDataLine(const QString& name, const QString& identifier) {
  return LangText("Text", "TransmitData", "Uploading data") + " (" + name + " <" + identifier +
         ">)";
}

QString TransmitCompletedLine(const QString& name, const QString& identifier) {
  return LangText("Text", "TransmitCompleted", "Uploading completed") + " (" + name + " <" +
         identifier + ">)";
}

int ComPortOf(const QString& identifier) {
  if (identifier.size() < 4 || !identifier.startsWith('C')) return 0;
  const int port = identifier.at(3).digitValue();
  return port >= 1 && port <= 9 ? port : 0;
}

ScaleKeypadChoice::ScaleKeypadChoice(GoodsBase& base, const QString& identifier)
    : keypads_(base.KeyPads()) {
  QVariant layout = base.Scales().Lookup("IP", identifier, "Keypad");
  former_ = keypads_.GetBookmark();
  if (!layout.isNull() && !layout.toString().isEmpty()) {
    layout = keypads_.Lookup("Name", layout, "ID");
  } else {
    layout = QVariant();
  }
  if (layout.isNull() || !keypads_.Locate("ID", layout)) keypads_.First();
}

ScaleKeypadChoice::~ScaleKeypadChoice() {
  if (former_ != RowSet::kNoBookmark) keypads_.GotoBookmark(former_);
}

VisitOutcome VisitTcpScale(UploadContext& context, const QString& identifier) {
  Workspace& workspace = context.workspace;
  StatusSink& status = context.status;
  TcpTransport& tcp = context.TCP;

  Show(context, ConnectingLine(), kProgressColour);
  status.Pause(kMessagePauseMs);
  if (!tcp.Connect(identifier, context.tcp_port, kConnectTimeoutMs)) {
    Show(context, ConnectionFailedLine(ScaleName(workspace, identifier), identifier),
         kFailureColour);
    status.Pause(kMessagePauseMs);
    tcp.Disconnect();
    return VisitOutcome::kConnectionFailed;
  }

  GoodsResult result;
  {
    TransportInUse in_use(context.link, tcp);
    context.link.Send(kCmdHello, 0);
    context.link.ReadReply();
    Show(context, TransmitDataLine(ScaleName(workspace, identifier), identifier), kProgressColour);
    status.Pause(kMessagePauseMs);
    result = SendFiles(context, identifier, false);
  }
  tcp.Disconnect();
  status.Pause(kDisconnectPauseMs);
  if (result == GoodsResult::kSent) {
    Show(context, TransmitCompletedLine(ScaleName(workspace, identifier), identifier),
         kSuccessColour);
  } else {
    status.ProcessEvents();
  }
  status.Pause(kVisitEndPauseMs);
  return result == GoodsResult::kSent ? VisitOutcome::kCompleted : VisitOutcome::kStopped;
}

bool SendToComScales(UploadContext& context, const QString& identifier, int num,
                     VisitOutcome* outcome) {
  (void)num;  // the identifier carries the port; num only tells the entries apart
  Workspace& workspace = context.workspace;
  StatusSink& status = context.status;
  ComUnit& com = context.com;
  if (outcome != nullptr) *outcome = VisitOutcome::kConnectionFailed;

  Show(context, ConnectingLine(), kProgressColour);
  status.Pause(kMessagePauseMs);

  GoodsResult result;
  {
    PortHold port(com, status);
    const int number = ComPortOf(identifier);
    bool opened = false;
    if (number != 0) {
      com.ComPort = static_cast<std::uint16_t>(number);
      opened = com.OpenComm(kCommQueueSize, kCommQueueSize, kCommBaud);
    }
    if (!opened) {
      port.Close();
      Show(context, ConnectionFailedLine(ScaleName(workspace, identifier), identifier),
           kFailureColour);
      status.Pause(kMessagePauseMs);
      return false;
    }

    SerialTransport serial(com);
    TransportInUse in_use(context.link, serial);
    context.link.SendToCom(kCmdHello, 0);
    context.link.ReadReply();
    Show(context, TransmitDataLine(ScaleName(workspace, identifier), identifier), kProgressColour);
    status.Pause(kMessagePauseMs);
    result = SendFiles(context, identifier, true);
  }
  status.Pause(kDisconnectPauseMs);
  if (result == GoodsResult::kSent) {
    Show(context, TransmitCompletedLine(ScaleName(workspace, identifier), identifier),
         kSuccessColour);
  } else {
    status.ProcessEvents();
  }
  status.Pause(kVisitEndPauseMs);
  if (outcome != nullptr) {
    *outcome = result == GoodsResult::kSent ? VisitOutcome::kCompleted : VisitOutcome::kStopped;
  }
  return true;
}

std::vector<VisitOutcome> TransmitFiles(UploadContext& context, const QStringList& Scales,
                                        const std::vector<bool>& ticked) {
  std::vector<VisitOutcome> outcomes(static_cast<size_t>(Scales.size()), VisitOutcome::kNotVisited);
  for (int i = 0; i < Scales.size(); ++i) {
    if (static_cast<size_t>(i) >= ticked.size() || !ticked[static_cast<size_t>(i)]) continue;
    const QString& identifier = Scales[i];
    if (identifier.startsWith('C')) {
      SendToComScales(context, identifier, i, &outcomes[static_cast<size_t>(i)]);
    } else {
      outcomes[static_cast<size_t>(i)] = VisitTcpScale(context, identifier);
    }
  }
  return outcomes;
}

}  // namespace quibrel
