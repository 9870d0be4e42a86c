#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace quibrel {

// One IPv4 address of one interface, as the system reports it.
struct InterfaceRecord {
  QString address;  // dotted
  QString mask;     // dotted
  bool up = false;
  bool broadcast = false;
  bool loopback = false;
};

// Where the interface records come from; tests feed tables.
using InterfaceSource = std::function<QList<InterfaceRecord>()>;

// Every IPv4 address of every interface, in the order the system lists them.
QList<InterfaceRecord> SystemInterfaceRecords();

// The scale search never looked at more records than this; we keep the limit so that a machine
// full of virtual adapters searches the same networks it always did.
inline constexpr int kMaxInterfaceRecords = 13;

// Appends the address and mask of every interface that can broadcast and is not a loopback,
// among the first 13 records, in system order. An interface that is down still qualifies.
void EnumInterfaces(QStringList& sListIp, QStringList& sListMsk,
                    const InterfaceSource& source = SystemInterfaceRecords);

// Octet by octet: a mask octet of 0 gives 255, any other keeps the address octet. Empty text
// when either input is not four decimal octets.
QString MakeBroadcastAddr(const QString& ip, const QString& mask);

// The host name and its IPv4 addresses in resolver order; tests feed tables.
struct HostLookup {
  std::function<QString()> host_name;
  std::function<QStringList(const QString& host_name)> resolve;
};
HostLookup SystemHostLookup();

// The computer's own address: the first address of the host name outside 127.0.0.0/8, else the
// first address of an interface that is up and not a loopback, else "127.0.0.1" (which tells the
// search that there is no network). Host names here often resolve to a loopback address even
// with a working network, so the resolver alone would switch the network search off.
QString GetLocalIP(const HostLookup& lookup = SystemHostLookup(),
                   const InterfaceSource& source = SystemInterfaceRecords);

}  // namespace quibrel
