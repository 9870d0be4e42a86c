#include "discovery/scales_thread.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "net_lab.h"

namespace quibrel {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;
using testing::FakeScale;
using testing::NetLab;

constexpr auto kWindow = 300ms;
constexpr auto kPatience = 20s;  // only ever reached when something is broken

QString Family(int code) { return QString(QChar(code)); }

// Searches with the lab's interfaces and a short window; the own address is given, not asked.
ScalesSearchOptions LabOptions(const QString& own_ip) {
  ScalesSearchOptions options;
  options.local_ip = [own_ip] { return own_ip; };
  options.listen_window = kWindow;
  return options;
}

// One bridge 10.77.1.1/24 in the lab with scales plugged into it.
class BridgeLab : public ::testing::Test {
 protected:
  void SetUp() override {
    lab_ = std::make_unique<NetLab>();
    if (!lab_->unavailable().isEmpty()) GTEST_SKIP() << lab_->unavailable().toStdString();
    lab_->AddBridge("qblbr0", "10.77.1.1/24");
    if (!lab_->unavailable().isEmpty()) GTEST_SKIP() << lab_->unavailable().toStdString();
  }
  void TearDown() override {
    scales_.clear();
    lab_.reset();
  }

  // A scale namespace on the bridge at 10.77.1.host answering with length bytes.
  FakeScale& AddScale(int host, int length, int family, std::function<void()> received = {}) {
    const QString ns = lab_->AddScaleNamespace();
    lab_->PlugIntoBridge(ns, "qblbr0", QString("10.77.1.%1/24").arg(host));
    scales_.push_back(
        std::make_unique<FakeScale>(lab_->NamespacePath(ns), length, family, 5001, received));
    EXPECT_TRUE(scales_.back()->ready());
    return *scales_.back();
  }

  std::unique_ptr<NetLab> lab_;
  std::vector<std::unique_ptr<FakeScale>> scales_;
};

TEST_F(BridgeLab, PublishesThirtyFourByteRepliesExceptFromTheOwnAddress) {
  AddScale(11, 34, 0);
  AddScale(12, 34, 1);
  AddScale(13, 33, 0);
  AddScale(14, 35, 0);
  AddScale(15, 34, 7);
  ASSERT_TRUE(lab_->unavailable().isEmpty()) << lab_->unavailable().toStdString();

  struct Case {
    const char* own_ip;
    QStringList scales;
  };
  // The second row pretends the computer is 10.77.1.12: that scale's reply is its own.
  const Case cases[] = {{"10.77.1.1", {"10.77.1.11", "10.77.1.12", "10.77.1.15"}},
                        {"10.77.1.12", {"10.77.1.11", "10.77.1.15"}}};
  for (const Case& c : cases) {
    TScalesThread search;
    search.StartScalesSearch(LabOptions(c.own_ip));
    ASSERT_GE(search.WaitForCycles(1, kPatience), 1);
    search.StopScalesSearch();
    const ScalesSnapshot found = search.Scales();
    ASSERT_EQ(found.Scales.size(), found.ScalesMode.size());
    QStringList sorted = found.Scales;
    sorted.sort();
    EXPECT_EQ(sorted, c.scales) << c.own_ip;
    for (int i = 0; i < found.Scales.size(); ++i) {
      const int expected = found.Scales[i] == "10.77.1.12" ? 1 : found.Scales[i] == "10.77.1.15" ? 7 : 0;
      EXPECT_EQ(found.ScalesMode[i], Family(expected)) << found.Scales[i].toStdString();
    }
  }
}

TEST_F(BridgeLab, SameScaleOnTwoInterfacesGivesTwoEntriesInInterfaceOrder) {
  lab_->AddBridge("qblbr1", "10.77.2.1/24");
  const QString ns = lab_->AddScaleNamespace();
  lab_->PlugIntoBridge(ns, "qblbr0", "10.77.1.20/24");
  lab_->PlugIntoBridge(ns, "qblbr1", "10.77.2.20/24");
  ASSERT_TRUE(lab_->unavailable().isEmpty()) << lab_->unavailable().toStdString();
  FakeScale scale(lab_->NamespacePath(ns), 34, 2);
  ASSERT_TRUE(scale.ready());

  TScalesThread search;
  search.StartScalesSearch(LabOptions("10.77.1.1"));
  ASSERT_GE(search.WaitForCycles(1, kPatience), 1);
  search.StopScalesSearch();
  EXPECT_THAT(search.Scales().Scales, ElementsAre("10.77.1.20", "10.77.2.20"));
  EXPECT_THAT(search.Scales().ScalesMode, ElementsAre(Family(2), Family(2)));
}

TEST_F(BridgeLab, ClearedNeedToSearchKeepsThePreviousPublicationUntilSetAgain) {
  AddScale(11, 34, 0);
  TScalesThread search;
  search.StartScalesSearch(LabOptions("10.77.1.1"));
  ASSERT_GE(search.WaitForCycles(1, kPatience), 1);
  ASSERT_THAT(search.Scales().Scales, ElementsAre("10.77.1.11"));

  // A second scale appears; the first time it is asked the flag drops, so the cycle that found
  // it runs to its end without publishing.
  std::atomic<bool> armed{true};
  AddScale(12, 34, 1, [&] {
    if (armed.exchange(false)) search.SetNeedToSearch(false);
  });
  for (int i = 0; i < 4000 && search.NeedToSearch(); ++i) std::this_thread::sleep_for(5ms);
  ASSERT_FALSE(search.NeedToSearch());
  ASSERT_TRUE(search.WaitUntilIdle(kPatience));
  EXPECT_THAT(search.Scales().Scales, ElementsAre("10.77.1.11"));
  EXPECT_TRUE(search.SearchComplete());

  // No cycle starts while the flag is down.
  const int held = search.CyclesCompleted();
  EXPECT_EQ(search.WaitForCycles(held + 1, 3 * kWindow), held);

  search.SetNeedToSearch(true);
  ASSERT_GE(search.WaitForCycles(held + 1, kPatience), held + 1);
  search.StopScalesSearch();
  EXPECT_THAT(search.Scales().Scales, UnorderedElementsAre("10.77.1.11", "10.77.1.12"));
}

TEST_F(BridgeLab, StopDuringTheWindowEndsWithoutPublishing) {
  std::atomic<bool> asked{false};
  AddScale(11, 34, 0, [&asked] { asked = true; });
  TScalesThread search;
  search.StartScalesSearch(LabOptions("10.77.1.1"));
  for (int i = 0; i < 2000 && !asked; ++i) std::this_thread::sleep_for(5ms);
  ASSERT_TRUE(asked);
  search.StopScalesSearch();
  EXPECT_FALSE(search.Running());
  EXPECT_EQ(search.CyclesCompleted(), 0);
  EXPECT_FALSE(search.SearchComplete());
  EXPECT_THAT(search.Scales().Scales, IsEmpty());
}

TEST_F(BridgeLab, NoNetworkSkipsBroadcastsButAsksListedAddressesOverPointToPoint) {
  FakeScale& on_bridge = AddScale(11, 34, 0);
  const QString ns = lab_->AddScaleNamespace();
  lab_->AddPointToPoint(ns, "10.88.0.1", "10.88.0.2");
  ASSERT_TRUE(lab_->unavailable().isEmpty()) << lab_->unavailable().toStdString();
  FakeScale behind_router(lab_->NamespacePath(ns), 34, 1);
  ASSERT_TRUE(behind_router.ready());

  struct Case {
    const char* name;
    const char* own_ip;
    QStringList listed;
    QStringList expected;
  };
  const Case cases[] = {
      // The /32 link qualifies as an interface but has nobody to broadcast to.
      {"network, nothing listed", "10.77.1.1", {}, {"10.77.1.11"}},
      {"network and a listed address", "10.77.1.1", {"10.88.0.2"}, {"10.77.1.11", "10.88.0.2"}},
      {"no network, a listed address", "127.0.0.1", {"10.88.0.2"}, {"10.88.0.2"}},
  };
  for (const Case& c : cases) {
    const int bridge_before = on_bridge.datagrams();
    const int router_before = behind_router.datagrams();
    ScalesSearchOptions options = LabOptions(c.own_ip);
    options.listed_addresses = c.listed;
    TScalesThread search;
    search.StartScalesSearch(options);
    ASSERT_GE(search.WaitForCycles(1, kPatience), 1) << c.name;
    search.StopScalesSearch();
    EXPECT_EQ(search.Scales().Scales, c.expected) << c.name;
    EXPECT_EQ(on_bridge.datagrams() > bridge_before, QString(c.own_ip) != "127.0.0.1") << c.name;
    EXPECT_EQ(behind_router.datagrams() > router_before, !c.listed.isEmpty()) << c.name;
  }
}

TEST(ScalesThreadTest, SerialRepliesFollowInComListOrderAndOnlyThirtyFourBytesCount) {
  std::atomic<bool> network_asked{false};
  ScalesSearchOptions options;
  // No interface: nothing can leave this machine.
  options.interfaces = [&network_asked] {
    network_asked = true;
    return QList<InterfaceRecord>();
  };
  options.local_ip = [] { return QString("127.0.0.1"); };
  options.listen_window = 50ms;
  options.com_list = {"4", "2", "3", "5"};
  options.serial_probe = [](int port) -> std::optional<QByteArray> {
    QByteArray reply(34, '\0');
    reply[16] = '\x01';
    switch (port) {
      case 2: return reply;
      case 3: return reply.left(33);
      case 4: return reply.replace(16, 1, "\x03");
      default: return std::nullopt;  // the port no longer opens
    }
  };
  TScalesThread search;
  search.StartScalesSearch(options);
  ASSERT_GE(search.WaitForCycles(1, kPatience), 1);
  search.StopScalesSearch();
  EXPECT_TRUE(network_asked);
  EXPECT_THAT(search.Scales().Scales, ElementsAre("COM4", "COM2"));
  EXPECT_THAT(search.Scales().ScalesMode, ElementsAre(Family(3), Family(1)));
}

TEST(ScalesThreadTest, FirstCycleCompletesEvenWithNothingFoundAndOnlyOneThreadStarts) {
  std::atomic<int> second_probe_calls{0};
  ScalesSearchOptions first;
  first.interfaces = [] { return QList<InterfaceRecord>(); };
  first.local_ip = [] { return QString("127.0.0.1"); };
  first.listen_window = 50ms;
  ScalesSearchOptions second = first;
  second.com_list = {"1"};
  second.serial_probe = [&second_probe_calls](int) -> std::optional<QByteArray> {
    ++second_probe_calls;
    return QByteArray(34, '\0');
  };

  TScalesThread search;
  EXPECT_FALSE(search.SearchComplete());
  search.StartScalesSearch(first);
  search.StartScalesSearch(second);  // a later OpenDataBase: the running thread stays as it is
  ASSERT_GE(search.WaitForCycles(2, kPatience), 2);
  search.StopScalesSearch();
  search.StartScalesSearch(second);  // nor does anything start after shut-down
  EXPECT_FALSE(search.Running());
  EXPECT_TRUE(search.SearchComplete());
  EXPECT_THAT(search.Scales().Scales, IsEmpty());
  EXPECT_EQ(second_probe_calls, 0);
}

}  // namespace
}  // namespace quibrel
