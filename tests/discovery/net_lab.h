#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace quibrel::testing {

// A private network for one test. The calling thread moves into a fresh network namespace (so
// the search, and every thread it starts, sees only what the test builds there) and goes back
// on destruction; scale namespaces hang off bridges or point-to-point links by veth pairs.
// Nothing here can reach the machine's own interfaces.
class NetLab {
 public:
  NetLab();
  ~NetLab();
  NetLab(const NetLab&) = delete;
  NetLab& operator=(const NetLab&) = delete;

  // Empty when the lab works; otherwise why not (for GTEST_SKIP).
  const QString& unavailable() const { return unavailable_; }

  // A bridge in the lab namespace holding address_cidr ("10.77.1.1/24").
  void AddBridge(const QString& bridge, const QString& address_cidr);
  // A new scale namespace; returns its name.
  QString AddScaleNamespace();
  // A veth from the scale namespace into the bridge, the scale end holding address_cidr.
  void PlugIntoBridge(const QString& scale_ns, const QString& bridge, const QString& address_cidr);
  // A /32 point-to-point veth: local_address here, peer_address in the scale namespace.
  void AddPointToPoint(const QString& scale_ns, const QString& local_address,
                       const QString& peer_address);

  // Runs a shell command in the lab namespace; false on failure.
  bool Run(const QString& command);
  QString NamespacePath(const QString& scale_ns) const { return "/run/netns/" + scale_ns; }

 private:
  QString Fail(const QString& what);

  QString unavailable_;
  int saved_ns_fd_ = -1;
  QString prefix_;
  QStringList namespaces_;
  int next_link_ = 0;
};

// A scale as far as the search sees it: a UDP socket on port 5001 in a scale namespace that
// answers every datagram with a reply of the given length and family byte.
class FakeScale {
 public:
  // received: called on the scale's thread for each datagram, before the reply goes out.
  FakeScale(const QString& namespace_path, int reply_length, int family, quint16 port = 5001,
            std::function<void()> received = {});
  ~FakeScale();

  bool ready() const { return ready_; }
  int datagrams() const { return datagrams_; }

 private:
  void Serve(QString namespace_path, quint16 port);

  int reply_length_;
  int family_;
  std::function<void()> received_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> ready_{false};
  std::atomic<int> datagrams_{0};
  std::thread thread_;
};

}  // namespace quibrel::testing
