#pragma once

#include <QAbstractEventDispatcher>
#include <atomic>
#include <cstdint>
#include <vector>

namespace tandemhoop::server {

// Qt's own event loops ask the kernel about every socket on every turn (poll), which a server
// with thousands of connections pays for on each message. This one keeps the sockets in an
// epoll set and hears only of those that are ready. For tandemhoop-server's main thread; Linux.
class EpollEventDispatcher final : public QAbstractEventDispatcher {
 public:
  EpollEventDispatcher();
  ~EpollEventDispatcher() override;

  bool processEvents(QEventLoop::ProcessEventsFlags flags) override;
  void registerSocketNotifier(QSocketNotifier* notifier) override;
  void unregisterSocketNotifier(QSocketNotifier* notifier) override;
  void registerTimer(int timerId, qint64 interval, Qt::TimerType timerType,
                     QObject* object) override;
  bool unregisterTimer(int timerId) override;
  bool unregisterTimers(QObject* object) override;
  QList<TimerInfo> registeredTimers(QObject* object) const override;
  int remainingTime(int timerId) override;
  void wakeUp() override;
  void interrupt() override;

 private:
  struct Watched {
    QSocketNotifier* read = nullptr;
    QSocketNotifier* write = nullptr;
    QSocketNotifier* exception = nullptr;
    std::uint32_t events = 0;  // what the epoll set has for it
    bool changed = false;      // in changed_, to be told to the epoll set
    // Every notifier went since the set was last told: the socket may have been closed, which
    // takes it out of the set, and its number reused by a new one.
    bool emptied = false;
  };
  struct Timer {
    int id;
    qint64 interval;
    Qt::TimerType type;
    QObject* object;
    std::int64_t due;  // ms on the monotonic clock
  };
  // Notes what a socket is watched for now; the epoll set hears of it just before the next
  // wait. A socket that writes at once enables and disables its write notifier in one turn,
  // and the set need not hear of that at all.
  void Watch(int fd, Watched& watched);
  // The socket's entry, made when first watched; null for a socket never watched.
  Watched* Find(int fd);
  void Apply();
  bool FireTimers();

  int epoll_ = -1;
  int wake_ = -1;  // an eventfd: wakeUp from any thread
  std::atomic<bool> interrupted_{false};
  // By socket number: every relayed message switches a write notifier on and off, and a
  // socket's entry is found without hashing. Socket numbers are small and reused.
  std::vector<Watched> watched_;
  std::vector<int> changed_;
  std::vector<Timer> timers_;
};

}  // namespace tandemhoop::server
