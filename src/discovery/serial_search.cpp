#include "discovery/serial_search.h"

#include <QHostAddress>
#include <mutex>

#include "link/com_unit.h"
#include "link/frame.h"
#include "link/serial_port_lock.h"
#include "workspace/workspace.h"

namespace quibrel {

void SurveySerialPorts(Workspace& workspace) {
  SharedComUnit().SetDeviceMap(ReadSerialDeviceMap(IniFile(workspace.folder().TerminalIni())));
  SurveySerialPorts(workspace, SharedComUnit());
}

void SurveySerialPorts(Workspace& workspace, ComUnit& com) {
  std::lock_guard lock(SerialPortLock());
  for (int n = 1; n <= 9; ++n) {
    com.ComPort = static_cast<std::uint16_t>(n);
    const bool opened = com.OpenComm(kCommQueueSize, kCommQueueSize, kCommBaud);
    // A port whose settings failed may still be open.
    com.CloseComm();
    if (!opened) continue;
    workspace.COMList.append(QString::number(n));
    workspace.log().WriteToLog("Found physical COM" + QString::number(n));
  }
}

SerialProbe ComUnitProbe(ComUnit& com) {
  return [&com](int port_number) -> std::optional<QByteArray> {
    std::lock_guard lock(SerialPortLock());
    com.ComPort = static_cast<std::uint16_t>(port_number);
    if (!com.OpenComm(kCommQueueSize, kCommQueueSize, kCommBaud)) {
      com.CloseComm();
      return std::nullopt;
    }
    const QByteArray request = DiscoverFrame();
    com.SendCommBuff(reinterpret_cast<const std::uint8_t*>(request.constData()),
                     static_cast<int>(request.size()));
    QByteArray reply(kCommReadBlock, '\0');
    const int got = com.ReadCommBuff(reinterpret_cast<std::uint8_t*>(reply.data()));
    com.CloseComm();
    reply.truncate(got);
    return reply;
  };
}

QStringList ParseListedAddresses(const QString& text, QStringList* rejected) {
  QStringList addresses;
  for (const QString& part : text.split(',', Qt::SkipEmptyParts)) {
    const QString entry = part.trimmed();
    if (entry.isEmpty()) continue;
    const QHostAddress address(entry);
    if (address.protocol() == QAbstractSocket::IPv4Protocol) {
      addresses.append(address.toString());
    } else if (rejected) {
      rejected->append(entry);
    }
  }
  return addresses;
}

ScalesSearchOptions SearchOptionsFor(Workspace& workspace, QStringList* rejected) {
  ScalesSearchOptions options;
  options.com_list = workspace.COMList;
  options.serial_probe = ComUnitProbe(SharedComUnit());
  options.listed_addresses = ParseListedAddresses(
      workspace.IniFileRef().ReadString("Discovery", "Addresses", QString()), rejected);
  return options;
}

}  // namespace quibrel
