#include "discovery/interfaces.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkInterface>
#include <array>
#include <optional>

namespace quibrel {
namespace {

std::optional<std::array<int, 4>> ParseOctets(const QString& dotted) {
  const QStringList parts = dotted.split('.');
  if (parts.size() != 4) return std::nullopt;
  std::array<int, 4> octets{};
  for (int i = 0; i < 4; ++i) {
    bool ok = false;
    const int value = parts[i].toInt(&ok);
    if (!ok || value < 0 || value > 255 || parts[i].isEmpty()) return std::nullopt;
    octets[i] = value;
  }
  return octets;
}

bool IsLoopbackAddress(const QString& dotted) {
  const auto octets = ParseOctets(dotted);
  return octets && (*octets)[0] == 127;
}

}  // namespace

QList<InterfaceRecord> SystemInterfaceRecords() {
  QList<InterfaceRecord> records;
  for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
    const auto flags = interface.flags();
    for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
      if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol) continue;
      InterfaceRecord record;
      record.address = entry.ip().toString();
      record.mask = entry.netmask().toString();
      record.up = flags.testFlag(QNetworkInterface::IsUp);
      record.broadcast = flags.testFlag(QNetworkInterface::CanBroadcast);
      record.loopback = flags.testFlag(QNetworkInterface::IsLoopBack);
      records.append(record);
    }
  }
  return records;
}

void EnumInterfaces(QStringList& sListIp, QStringList& sListMsk, const InterfaceSource& source) {
  if (!source) return;
  const QList<InterfaceRecord> records = source();
  const int examined = std::min<int>(records.size(), kMaxInterfaceRecords);
  for (int i = 0; i < examined; ++i) {
    const InterfaceRecord& record = records[i];
    if (!record.broadcast || record.loopback) continue;
    sListIp.append(record.address);
    sListMsk.append(record.mask);
  }
}

QString MakeBroadcastAddr(const QString& ip, const QString& mask) {
  const auto address = ParseOctets(ip);
  const auto netmask = ParseOctets(mask);
  if (!address || !netmask) return QString();
  QStringList octets;
  for (int i = 0; i < 4; ++i) {
    octets.append(QString::number((*netmask)[i] == 0 ? 255 : (*address)[i]));
  }
  return octets.join('.');
}

HostLookup SystemHostLookup() {
  HostLookup lookup;
  lookup.host_name = [] { return QHostInfo::localHostName(); };
  lookup.resolve = [](const QString& host_name) {
    QStringList addresses;
    const QHostInfo info = QHostInfo::fromName(host_name);
    if (info.error() != QHostInfo::NoError) return addresses;
    for (const QHostAddress& address : info.addresses()) {
      if (address.protocol() == QAbstractSocket::IPv4Protocol) addresses.append(address.toString());
    }
    return addresses;
  };
  return lookup;
}

QString GetLocalIP(const HostLookup& lookup, const InterfaceSource& source) {
  const QString host_name = lookup.host_name ? lookup.host_name() : QString();
  if (!host_name.isEmpty() && lookup.resolve) {
    for (const QString& address : lookup.resolve(host_name)) {
      if (ParseOctets(address) && !IsLoopbackAddress(address)) return address;
    }
  }
  if (source) {
    for (const InterfaceRecord& record : source()) {
      if (record.up && !record.loopback && ParseOctets(record.address) &&
          !IsLoopbackAddress(record.address)) {
        return record.address;
      }
    }
  }
  return QStringLiteral("127.0.0.1");
}

}  // namespace quibrel
