#include "net_lab.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QProcess>
#include <chrono>
#include <cstdlib>

namespace quibrel::testing {

NetLab::NetLab() {
  prefix_ = QString("qbl%1").arg(::getpid());
  if (::geteuid() != 0) {
    unavailable_ = "network namespaces need root; run the suite as root (scripts/test.sh)";
    return;
  }
  saved_ns_fd_ = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
  if (saved_ns_fd_ < 0) {
    unavailable_ = "cannot read this thread's network namespace";
    return;
  }
  if (::unshare(CLONE_NEWNET) != 0) {
    ::close(saved_ns_fd_);
    saved_ns_fd_ = -1;
    unavailable_ = "cannot create a network namespace (unshare CLONE_NEWNET refused)";
    return;
  }
  if (!Run("ip link set lo up")) Fail("ip link set lo up");
}

NetLab::~NetLab() {
  for (const QString& name : namespaces_) Run("ip netns del " + name);
  if (saved_ns_fd_ >= 0) {
    // Back to where the thread was; the lab namespace and its links go with the last reference.
    ::setns(saved_ns_fd_, CLONE_NEWNET);
    ::close(saved_ns_fd_);
  }
}

QString NetLab::Fail(const QString& what) {
  if (unavailable_.isEmpty()) unavailable_ = "network lab command failed: " + what;
  return QString();
}

bool NetLab::Run(const QString& command) {
  // system() forks from this thread, so the command runs in the lab namespace.
  const QByteArray line = (command + " >/dev/null 2>&1").toLocal8Bit();
  return std::system(line.constData()) == 0;
}

void NetLab::AddBridge(const QString& bridge, const QString& address_cidr) {
  if (!Run("ip link add " + bridge + " type bridge") ||
      !Run("ip addr add " + address_cidr + " brd + dev " + bridge) ||
      !Run("ip link set " + bridge + " up")) {
    Fail("bridge " + bridge);
  }
}

QString NetLab::AddScaleNamespace() {
  const QString name = QString("%1-s%2").arg(prefix_).arg(namespaces_.size());
  if (!Run("ip netns add " + name)) return Fail("ip netns add " + name);
  namespaces_.append(name);
  Run("ip -n " + name + " link set lo up");
  return name;
}

void NetLab::PlugIntoBridge(const QString& scale_ns, const QString& bridge,
                            const QString& address_cidr) {
  const QString here = QString("%1v%2").arg(prefix_).arg(next_link_);
  const QString there = QString("%1w%2").arg(prefix_).arg(next_link_++);
  if (!Run("ip link add " + here + " type veth peer name " + there) ||
      !Run("ip link set " + there + " netns " + scale_ns) ||
      !Run("ip link set " + here + " master " + bridge + " up") ||
      !Run("ip -n " + scale_ns + " addr add " + address_cidr + " brd + dev " + there) ||
      !Run("ip -n " + scale_ns + " link set " + there + " up")) {
    Fail("veth into " + bridge);
  }
}

void NetLab::AddPointToPoint(const QString& scale_ns, const QString& local_address,
                             const QString& peer_address) {
  const QString here = QString("%1v%2").arg(prefix_).arg(next_link_);
  const QString there = QString("%1w%2").arg(prefix_).arg(next_link_++);
  if (!Run("ip link add " + here + " type veth peer name " + there) ||
      !Run("ip link set " + there + " netns " + scale_ns) ||
      !Run("ip addr add " + local_address + "/32 peer " + peer_address + "/32 dev " + here) ||
      !Run("ip link set " + here + " up") ||
      !Run("ip -n " + scale_ns + " addr add " + peer_address + "/32 peer " + local_address +
           "/32 dev " + there) ||
      !Run("ip -n " + scale_ns + " link set " + there + " up")) {
    Fail("point-to-point link to " + peer_address);
  }
}

FakeScale::FakeScale(const QString& namespace_path, int reply_length, int family, quint16 port,
                     std::function<void()> received)
    : reply_length_(reply_length), family_(family), received_(std::move(received)) {
  thread_ = std::thread([this, namespace_path, port] { Serve(namespace_path, port); });
  // The socket must be bound before the test starts asking.
  for (int i = 0; i < 200 && !ready_ && !stop_; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

FakeScale::~FakeScale() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void FakeScale::Serve(QString namespace_path, quint16 port) {
  const int ns = ::open(namespace_path.toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
  if (ns < 0 || ::setns(ns, CLONE_NEWNET) != 0) {
    if (ns >= 0) ::close(ns);
    stop_ = true;
    return;
  }
  ::close(ns);
  const int sock = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(port);
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  if (sock < 0 || ::bind(sock, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    if (sock >= 0) ::close(sock);
    stop_ = true;
    return;
  }
  ready_ = true;
  QByteArray reply(reply_length_, '\x5A');
  if (reply_length_ > 16) reply[16] = static_cast<char>(family_);
  while (!stop_) {
    pollfd poller{sock, POLLIN, 0};
    if (::poll(&poller, 1, 20) <= 0) continue;
    char buffer[2048];
    sockaddr_in sender{};
    socklen_t sender_length = sizeof sender;
    const ssize_t got = ::recvfrom(sock, buffer, sizeof buffer, 0,
                                   reinterpret_cast<sockaddr*>(&sender), &sender_length);
    if (got <= 0) continue;
    ++datagrams_;
    if (received_) received_();
    ::sendto(sock, reply.constData(), reply.size(), 0, reinterpret_cast<sockaddr*>(&sender),
             sender_length);
  }
  ::close(sock);
}

}  // namespace quibrel::testing
