#include <QHostAddress>
#include <QRegularExpression>
#include <vector>

#include "cli/cli_status_sink.h"
#include "cli/cli_verb.h"
#include "core/quibrel_error.h"
#include "discovery/scales_thread.h"
#include "discovery/serial_search.h"
#include "i18n/lang_text.h"
#include "link/com_unit.h"
#include "link/scale_link.h"
#include "link/tcp_transport.h"
#include "link/upload.h"
#include "link/upload_troubleshooting.h"
#include "scalefiles/scale_files.h"
#include "workspace/language.h"
#include "workspace/workspace.h"

namespace quibrel {
namespace {

bool IsScaleIdentifier(const QString& text) {
  static const QRegularExpression com(R"(^COM[1-9]$)");
  static const QRegularExpression dotted(R"(^\d{1,3}\.\d{1,3}\.\d{1,3}\.\d{1,3}$)");
  if (com.match(text).hasMatch()) return true;
  QHostAddress address;
  return dotted.match(text).hasMatch() && address.setAddress(text) &&
         address.protocol() == QAbstractSocket::IPv4Protocol;
}

// What one discovery cycle publishes, as the window's search would find it.
QStringList SearchOnce(Workspace& workspace) {
  SurveySerialPorts(workspace);
  QStringList rejected;
  ScalesSearchOptions options = SearchOptionsFor(workspace, &rejected);
  for (const QString& entry : rejected) {
    PrintError("upload: [Discovery] Addresses: not an IPv4 address, skipped: " + entry);
  }
  options.max_cycles = 1;
  TScalesThread search;
  search.StartScalesSearch(options);
  while (search.Running()) search.WaitForCycles(1, std::chrono::hours(1));
  search.StopScalesSearch();
  return search.Scales().Scales;
}

void ShowLine(CliStatusSink& status, Workspace& workspace, const QString& line) {
  workspace.MessageList.append(line);
  status.ShowMessageWindow(100, 50, kProgressColour, Qt::black, Qt::AlignHCenter, false,
                           workspace.MessageList);
}

// Makes the goods and ticket files and visits the scales as the window's upload does, with the
// status lines on stderr and no pauses. Exit 0 only when every scale completed.
int RunUpload(CliContext& context) {
  CliArguments arguments(context.arguments);
  const QStringList given = arguments.AllOptions("scale");
  const bool all = arguments.Flag("all");
  arguments.ExpectEnd();
  if (given.isEmpty() == !all) throw CliUsageError{"give --scale ID (one or more) or --all"};
  for (const QString& identifier : given) {
    if (!IsScaleIdentifier(identifier)) {
      throw CliUsageError{"not a scale: " + identifier +
                          " (a dotted IPv4 address, or COM1 to COM9)"};
    }
  }

  Workspace& workspace = context.workspace;
  // Names go out in the character set of the workspace's language, as the window writes them.
  workspace.language().Select(workspace.IniFileRef());
  CliStatusSink status;
  QStringList scales = given;
  if (all) {
    scales = SearchOnce(workspace);
    if (scales.isEmpty()) {
      ShowTroubleShooting(status, workspace.MessageList, TroubleShootingFor::kUpload);
      return 1;
    }
  } else {
    SharedComUnit().SetDeviceMap(ReadSerialDeviceMap(workspace.IniFileRef()));
  }

  ShowLine(status, workspace, LangText("Text", "MakingFile1", "Goods file making..."));
  MakeBaseFile(workspace);
  ShowLine(status, workspace, LangText("Text", "MakingFile2", "Ticket file making..."));
  MakeZirkFile(workspace);

  ScaleLink link;
  TcpTransport tcp(ReadReplyTimeout(workspace.IniFileRef()));
  UploadContext upload{workspace, link, status, tcp, SharedComUnit()};
  std::vector<VisitOutcome> outcomes;
  try {
    outcomes = TransmitFiles(upload, scales, std::vector<bool>(scales.size(), true));
  } catch (const QuibrelError& error) {
    PrintError(LangText("Text", "TransmitError", "Uploading error") + ": " + error.text());
    return 1;
  }
  for (const VisitOutcome outcome : outcomes) {
    if (outcome != VisitOutcome::kCompleted) return 1;
  }
  return 0;
}

const CliVerbRegistration kUpload(
    "upload", {"upload (--scale ID)... | --all",
               "send the goods, ticket and keypad files to the scales (address or COMn) or to "
               "every scale one search finds",
               true, RunUpload});

}  // namespace
}  // namespace quibrel
