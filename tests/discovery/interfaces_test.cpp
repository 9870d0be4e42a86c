#include "discovery/interfaces.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quibrel {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(MakeBroadcastAddrTest, ReplacesOnlyAllZeroMaskOctets) {
  struct Case {
    const char* ip;
    const char* mask;
    const char* broadcast;
  };
  const Case cases[] = {
      {"192.168.1.10", "255.255.255.0", "192.168.1.255"},
      {"10.1.2.3", "255.255.0.0", "10.1.255.255"},
      // A mask octet that is neither 0 nor 255 keeps the address octet.
      {"192.168.1.10", "255.255.252.0", "192.168.1.255"},
      {"192.168.1.10", "255.255.255.255", "192.168.1.10"},
      {"172.16.5.4", "0.0.0.0", "255.255.255.255"},
      // Octets are independent of each other: a zero in the middle is replaced too.
      {"10.20.30.40", "255.0.255.0", "10.255.30.255"},
      {"10.1.2", "255.255.255.0", ""},
      {"10.1.2.300", "255.255.255.0", ""},
      {"10.1.2.3", "255.255.x.0", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MakeBroadcastAddr(c.ip, c.mask), c.broadcast) << c.ip << " / " << c.mask;
  }
}

InterfaceSource Table(QList<InterfaceRecord> records) {
  return [records] { return records; };
}

InterfaceRecord Record(const QString& address, const QString& mask, bool up, bool broadcast,
                       bool loopback) {
  return {address, mask, up, broadcast, loopback};
}

TEST(EnumInterfacesTest, ListsBroadcastCapableNonLoopbackInSystemOrder) {
  QStringList ips{"kept"};
  QStringList masks{"kept"};
  EnumInterfaces(ips, masks,
                 Table({Record("127.0.0.1", "255.0.0.0", true, true, true),
                        Record("192.168.1.10", "255.255.255.0", true, true, false),
                        // A cable pulled out: down, but still listed.
                        Record("10.0.0.5", "255.0.0.0", false, true, false),
                        // No broadcast support (a tunnel).
                        Record("10.8.0.2", "255.255.255.255", true, false, false),
                        Record("172.16.0.9", "255.255.0.0", true, true, false)}));
  EXPECT_THAT(ips, ElementsAre("kept", "192.168.1.10", "10.0.0.5", "172.16.0.9"));
  EXPECT_THAT(masks, ElementsAre("kept", "255.255.255.0", "255.0.0.0", "255.255.0.0"));
}

TEST(EnumInterfacesTest, ExaminesOnlyTheFirstThirteenRecords) {
  QList<InterfaceRecord> records;
  for (int i = 1; i <= 15; ++i) {
    records.append(Record(QString("10.0.%1.1").arg(i), "255.255.255.0", true, true, false));
  }
  QStringList ips;
  QStringList masks;
  EnumInterfaces(ips, masks, Table(records));
  ASSERT_EQ(ips.size(), 13);
  EXPECT_EQ(ips.last(), "10.0.13.1");
  EXPECT_EQ(masks.size(), 13);
}

TEST(EnumInterfacesTest, SystemListNeverHoldsLoopback) {
  // Whatever this machine (or the test's namespace) has, 127.x never qualifies.
  QStringList ips;
  QStringList masks;
  EnumInterfaces(ips, masks);
  EXPECT_EQ(ips.size(), masks.size());
  for (const QString& ip : ips) EXPECT_FALSE(ip.startsWith("127.")) << ip.toStdString();
}

HostLookup Resolving(const QString& host, const QStringList& addresses) {
  return {[host] { return host; }, [addresses](const QString&) { return addresses; }};
}

TEST(GetLocalIPTest, SkipsLoopbackAnswersOfTheResolver) {
  struct Case {
    const char* name;
    HostLookup lookup;
    QList<InterfaceRecord> interfaces;
    QString expected;
  };
  const QList<InterfaceRecord> lan = {
      Record("127.0.0.1", "255.0.0.0", true, true, true),
      Record("10.0.0.5", "255.0.0.0", false, true, false),  // down: not the own address
      Record("192.168.1.10", "255.255.255.0", true, true, false)};
  const Case cases[] = {
      {"resolver gives a LAN address", Resolving("till", {"127.0.1.1", "192.168.1.77"}), lan,
       "192.168.1.77"},
      {"host name resolves to 127.0.0.1 on a working network",
       Resolving("till", {"127.0.0.1"}), lan, "192.168.1.10"},
      {"resolution fails", Resolving("till", {}), lan, "192.168.1.10"},
      {"no host name", Resolving("", {"192.168.1.77"}), lan, "192.168.1.10"},
      {"no network at all", Resolving("till", {"127.0.0.1"}),
       {Record("127.0.0.1", "255.0.0.0", true, true, true)}, "127.0.0.1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetLocalIP(c.lookup, Table(c.interfaces)), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace quibrel
