#include "discovery/scales_thread.h"

#include "discovery/udp_receiver.h"
#include "link/frame.h"

namespace quibrel {
namespace {

constexpr auto kSingleHostMask = "255.255.255.255";
constexpr auto kNoNetworkAddress = "127.0.0.1";

}  // namespace

TScalesThread::TScalesThread() = default;

TScalesThread::~TScalesThread() { StopScalesSearch(); }

void TScalesThread::StartScalesSearch(ScalesSearchOptions options) {
  std::lock_guard lock(mutex_);
  if (started_) return;
  started_ = true;
  running_ = true;
  options_ = std::move(options);
  thread_ = std::thread([this] { Body(); });
}

void TScalesThread::StopScalesSearch() {
  {
    std::lock_guard lock(mutex_);
    terminate_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

bool TScalesThread::Started() const {
  std::lock_guard lock(mutex_);
  return started_;
}

bool TScalesThread::Running() const {
  std::lock_guard lock(mutex_);
  return running_;
}

void TScalesThread::SetNeedToSearch(bool need) {
  {
    std::lock_guard lock(mutex_);
    need_to_search_ = need;
  }
  changed_.notify_all();
}

bool TScalesThread::NeedToSearch() const {
  std::lock_guard lock(mutex_);
  return need_to_search_;
}

bool TScalesThread::SearchComplete() const {
  std::lock_guard lock(mutex_);
  return search_complete_;
}

ScalesSnapshot TScalesThread::Scales() const {
  std::lock_guard lock(mutex_);
  return {scales_, scales_mode_};
}

bool TScalesThread::WaitUntilIdle(std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [this] { return !in_cycle_; });
}

int TScalesThread::CyclesCompleted() const {
  std::lock_guard lock(mutex_);
  return cycles_completed_;
}

int TScalesThread::WaitForCycles(int count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, timeout, [&] { return cycles_completed_ >= count || !running_; });
  return cycles_completed_;
}

bool TScalesThread::TerminationRequested() const {
  std::lock_guard lock(mutex_);
  return terminate_;
}

void TScalesThread::PauseUnlessTerminated(std::chrono::milliseconds pause) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, pause, [this] { return terminate_; });
}

void TScalesThread::Body() {
  try {
    own_ip_ = options_.local_ip ? options_.local_ip() : QString(kNoNetworkAddress);
    for (;;) {
      {
        std::unique_lock lock(mutex_);
        // Blocks without polling until the search is wanted again or the thread must end.
        changed_.wait(lock, [this] { return terminate_ || need_to_search_; });
        if (terminate_) break;
        in_cycle_ = true;
      }
      const bool finished = RunCycle();
      {
        std::lock_guard lock(mutex_);
        in_cycle_ = false;
      }
      changed_.notify_all();
      if (!finished) break;
      if (options_.max_cycles > 0 && CyclesCompleted() >= options_.max_cycles) break;
      // With nothing to ask, back-to-back cycles would only spin; such a cycle lasts one window.
      if (!last_cycle_asked_) PauseUnlessTerminated(options_.listen_window);
    }
  } catch (...) {
    // An unexpected failure ends the search quietly; the last publication stays readable.
  }
  {
    std::lock_guard lock(mutex_);
    in_cycle_ = false;
    running_ = false;
  }
  changed_.notify_all();
}

bool TScalesThread::AskNetwork(const QStringList& addresses, QStringList& tmp_scales,
                               QStringList& tmp_scales_mode) {
  UdpReceiver receiver;
  receiver.UdpInit(options_.port);
  const QByteArray request = DiscoverFrame();
  for (const QString& address : addresses) receiver.UdpSend(address, options_.port, request);
  receiver.Listen(options_.listen_window);
  if (TerminationRequested()) return false;
  // The receiver has stopped taking datagrams: the lists are read after the window only.
  const QStringList& senders = receiver.ScalesList();
  const QStringList& modes = receiver.ScalesListMode();
  for (int i = 0; i < senders.size(); ++i) {
    if (senders[i] == own_ip_) continue;
    tmp_scales.append(senders[i]);
    tmp_scales_mode.append(modes[i]);
  }
  receiver.UdpDestroy();
  return true;
}

bool TScalesThread::RunCycle() {
  QStringList ips;
  QStringList masks;
  EnumInterfaces(ips, masks, options_.interfaces);
  QStringList tmp_scales;
  QStringList tmp_scales_mode;
  bool asked = false;

  if (own_ip_ != kNoNetworkAddress) {
    for (int i = 0; i < ips.size(); ++i) {
      const QString broadcast = MakeBroadcastAddr(ips[i], masks[i]);
      // A single-host network has nobody to broadcast to.
      if (masks[i] == kSingleHostMask || broadcast.isEmpty()) continue;
      asked = true;
      if (!AskNetwork({broadcast}, tmp_scales, tmp_scales_mode)) return false;
    }
  }
  if (!options_.listed_addresses.isEmpty()) {
    asked = true;
    if (!AskNetwork(options_.listed_addresses, tmp_scales, tmp_scales_mode)) return false;
  }
  if (TerminationRequested()) return false;

  if (options_.serial_probe) {
    for (const QString& port : options_.com_list) {
      bool ok = false;
      const int number = port.toInt(&ok);
      if (!ok) continue;
      asked = true;
      const std::optional<QByteArray> reply = options_.serial_probe(number);
      if (reply && reply->size() == kDiscoverReplyLength) {
        tmp_scales.append("COM" + QString::number(number));
        tmp_scales_mode.append(FamilyCharacter(*reply));
      }
      // A cycle cut short publishes nothing: half a list would hide the scales not yet asked.
      if (TerminationRequested()) return false;
    }
  }

  {
    std::lock_guard lock(mutex_);
    if (need_to_search_) {
      scales_ = tmp_scales;
      scales_mode_ = tmp_scales_mode;
    }
    search_complete_ = true;
    ++cycles_completed_;
  }
  changed_.notify_all();
  last_cycle_asked_ = asked;
  return true;
}

}  // namespace quibrel
