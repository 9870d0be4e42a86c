#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "discovery/interfaces.h"

namespace quibrel {

// The published search results: entry i of Scales is a scale's identifier (dotted address or
// "COM" and the port number), entry i of ScalesMode the character whose code is its family.
struct ScalesSnapshot {
  QStringList Scales;
  QStringList ScalesMode;
};

// Asks serial port n the Discover question and returns whatever one read brought (empty when
// nothing came), or nothing when the port did not open. Holds the serial port lock while open.
using SerialProbe = std::function<std::optional<QByteArray>(int port_number)>;

struct ScalesSearchOptions {
  InterfaceSource interfaces = SystemInterfaceRecords;
  // Asked once, when the thread starts.
  std::function<QString()> local_ip = [] { return GetLocalIP(); };
  quint16 port = 5001;
  std::chrono::milliseconds listen_window{2000};
  // The serial ports that opened at start-up, as decimal numbers.
  QStringList com_list;
  SerialProbe serial_probe;
  // Addresses no broadcast reaches (another subnet, an emulator on 127.0.0.2), asked by unicast
  // after the interfaces in every cycle, even when there is no network to broadcast on.
  QStringList listed_addresses;
  // The thread ends by itself after this many cycles; 0 searches until stopped.
  int max_cycles = 0;
};

// The background scale search. One object lives for the run and is passed by reference; its
// thread is started once and stopped at shut-down. The results and flags are guarded by one
// mutex: the thread replaces the lists under it, readers copy them under it.
class TScalesThread {
 public:
  TScalesThread();
  ~TScalesThread();
  TScalesThread(const TScalesThread&) = delete;
  TScalesThread& operator=(const TScalesThread&) = delete;

  // The first call starts the thread with these options; every later call (also after
  // StopScalesSearch) leaves things as they are, so there is never more than one thread.
  void StartScalesSearch(ScalesSearchOptions options);
  // Asks the thread to end and waits for it. It notices at the loop head, after a listening
  // window and after each serial probe, so this can take a window or a serial read.
  void StopScalesSearch();
  bool Started() const;
  bool Running() const;

  // While false no cycle starts and a cycle under way publishes nothing when it ends. Setting it
  // true wakes the waiting thread at once.
  void SetNeedToSearch(bool need);
  bool NeedToSearch() const;
  // True once a cycle has ended, whether or not it found anything; never reset.
  bool SearchComplete() const;
  // A copy of the last publication.
  ScalesSnapshot Scales() const;

  // Waits until no cycle is under way or the timeout passed; true when idle. An exchange that
  // cleared NeedToSearch can wait here before it uses the lists or a serial port.
  bool WaitUntilIdle(std::chrono::milliseconds timeout) const;
  // Cycles ended so far (published or not); WaitForCycles waits until at least count have
  // ended, the thread ended, or the timeout passed, and returns the number ended.
  int CyclesCompleted() const;
  int WaitForCycles(int count, std::chrono::milliseconds timeout) const;

 private:
  void Body();
  // One cycle; false when termination was asked and the cycle was left early.
  bool RunCycle();
  bool TerminationRequested() const;
  // Sends the request to each address, listens one window, appends the replies to the working
  // lists. False when termination was asked during the window.
  bool AskNetwork(const QStringList& addresses, QStringList& tmp_scales,
                  QStringList& tmp_scales_mode);
  // Sleeps, waking early only for termination.
  void PauseUnlessTerminated(std::chrono::milliseconds pause);

  ScalesSearchOptions options_;
  QString own_ip_;
  bool last_cycle_asked_ = false;  // the thread's own
  std::thread thread_;

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool started_ = false;
  bool running_ = false;
  bool terminate_ = false;
  bool need_to_search_ = true;
  bool search_complete_ = false;
  bool in_cycle_ = false;
  int cycles_completed_ = 0;
  QStringList scales_;
  QStringList scales_mode_;
};

}  // namespace quibrel
