#include "server/epoll_dispatcher.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimerEvent>
#include <algorithm>
#include <array>
#include <cerrno>
#include <ctime>

namespace tandemhoop::server {

namespace {

std::int64_t NowMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

}  // namespace

EpollEventDispatcher::EpollEventDispatcher() {
  epoll_ = epoll_create1(EPOLL_CLOEXEC);
  wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.fd = wake_;
  epoll_ctl(epoll_, EPOLL_CTL_ADD, wake_, &event);
}

EpollEventDispatcher::~EpollEventDispatcher() {
  close(wake_);
  close(epoll_);
}

EpollEventDispatcher::Watched* EpollEventDispatcher::Find(int fd) {
  if (fd < 0 || static_cast<std::size_t>(fd) >= watched_.size()) return nullptr;
  return &watched_[static_cast<std::size_t>(fd)];
}

void EpollEventDispatcher::Watch(int fd, Watched& watched) {
  if (!watched.changed) {
    watched.changed = true;
    changed_.push_back(fd);
  }
}

void EpollEventDispatcher::Apply() {
  for (const int fd : changed_) {
    Watched& watched = watched_[static_cast<std::size_t>(fd)];
    watched.changed = false;
    std::uint32_t events = 0;
    if (watched.read != nullptr) events |= EPOLLIN;
    if (watched.write != nullptr) events |= EPOLLOUT;
    if (watched.exception != nullptr) events |= EPOLLPRI;
    epoll_event event{};
    event.events = events;
    event.data.fd = fd;
    if (events == 0) {
      // The socket may be closed already: the kernel has then forgotten it by itself.
      if (watched.events != 0) epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, &event);
    } else if (watched.events == 0 || watched.emptied) {
      // A new socket, or one that may be: a number the set still holds under an old socket
      // (never closed, or not closed yet) is modified instead.
      if (epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event) != 0 && errno == EEXIST)
        epoll_ctl(epoll_, EPOLL_CTL_MOD, fd, &event);
    } else if (events != watched.events) {
      epoll_ctl(epoll_, EPOLL_CTL_MOD, fd, &event);
    }
    watched.events = events;
    watched.emptied = false;
  }
  changed_.clear();
}

void EpollEventDispatcher::registerSocketNotifier(QSocketNotifier* notifier) {
  const int fd = static_cast<int>(notifier->socket());
  if (fd < 0) return;
  if (static_cast<std::size_t>(fd) >= watched_.size())
    watched_.resize(std::max<std::size_t>(static_cast<std::size_t>(fd) + 1, 2 * watched_.size()));
  Watched& watched = watched_[static_cast<std::size_t>(fd)];
  switch (notifier->type()) {
    case QSocketNotifier::Read:
      watched.read = notifier;
      break;
    case QSocketNotifier::Write:
      watched.write = notifier;
      break;
    case QSocketNotifier::Exception:
      watched.exception = notifier;
      break;
  }
  Watch(fd, watched);
}

void EpollEventDispatcher::unregisterSocketNotifier(QSocketNotifier* notifier) {
  const int fd = static_cast<int>(notifier->socket());
  Watched* watched = Find(fd);
  if (watched == nullptr) return;
  if (watched->read == notifier) watched->read = nullptr;
  if (watched->write == notifier) watched->write = nullptr;
  if (watched->exception == notifier) watched->exception = nullptr;
  if (watched->read == nullptr && watched->write == nullptr && watched->exception == nullptr)
    watched->emptied = true;
  Watch(fd, *watched);
}

void EpollEventDispatcher::registerTimer(int timerId, qint64 interval, Qt::TimerType timerType,
                                         QObject* object) {
  timers_.push_back({timerId, interval, timerType, object, NowMs() + interval});
}

bool EpollEventDispatcher::unregisterTimer(int timerId) {
  const auto found = std::find_if(timers_.begin(), timers_.end(),
                                  [timerId](const Timer& timer) { return timer.id == timerId; });
  if (found == timers_.end()) return false;
  timers_.erase(found);
  return true;
}

bool EpollEventDispatcher::unregisterTimers(QObject* object) {
  const auto before = timers_.size();
  std::erase_if(timers_, [object](const Timer& timer) { return timer.object == object; });
  return timers_.size() != before;
}

QList<QAbstractEventDispatcher::TimerInfo> EpollEventDispatcher::registeredTimers(
    QObject* object) const {
  QList<TimerInfo> list;
  for (const Timer& timer : timers_) {
    if (timer.object == object)
      list.append(TimerInfo(timer.id, static_cast<int>(timer.interval), timer.type));
  }
  return list;
}

int EpollEventDispatcher::remainingTime(int timerId) {
  for (const Timer& timer : timers_) {
    if (timer.id == timerId)
      return static_cast<int>(std::max<std::int64_t>(0, timer.due - NowMs()));
  }
  return -1;
}

void EpollEventDispatcher::wakeUp() {
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = write(wake_, &one, sizeof one);
}

void EpollEventDispatcher::interrupt() {
  interrupted_ = true;
  wakeUp();
}

bool EpollEventDispatcher::FireTimers() {
  const std::int64_t now = NowMs();
  std::vector<int> due;
  for (Timer& timer : timers_) {
    if (timer.due > now) continue;
    // Like Qt's own: a late timer fires once, and its next time counts from now.
    timer.due = now + timer.interval;
    due.push_back(timer.id);
  }
  // A timer may be stopped, or its object deleted, by one fired before it.
  for (const int id : due) {
    const auto found = std::find_if(timers_.begin(), timers_.end(),
                                    [id](const Timer& timer) { return timer.id == id; });
    if (found == timers_.end()) continue;
    QTimerEvent event(id);
    QCoreApplication::sendEvent(found->object, &event);
  }
  return !due.empty();
}

bool EpollEventDispatcher::processEvents(QEventLoop::ProcessEventsFlags flags) {
  interrupted_ = false;
  emit awake();
  QCoreApplication::sendPostedEvents();

  int timeout = 0;
  // Whatever is posted from now on wakes the wait (postEvent calls wakeUp).
  if (flags.testFlag(QEventLoop::WaitForMoreEvents) && !interrupted_) {
    timeout = -1;
    const std::int64_t now = NowMs();
    for (const Timer& timer : timers_) {
      const auto left = static_cast<int>(std::max<std::int64_t>(0, timer.due - now));
      timeout = timeout < 0 ? left : std::min(timeout, left);
    }
    if (timeout != 0) emit aboutToBlock();
  }
  Apply();
  std::array<epoll_event, 256> events;
  int ready = epoll_wait(epoll_, events.data(), static_cast<int>(events.size()), timeout);
  if (ready < 0) ready = 0;  // a signal: the caller comes back
  if (timeout != 0) emit awake();

  bool handled = false;
  // What each ready socket is ready for; the notifiers are looked up again for each, since one
  // activated may disable or delete another.
  std::array<std::pair<int, std::uint32_t>, 256> fired;
  int count = 0;
  for (int i = 0; i < ready; ++i) {
    const epoll_event& event = events[static_cast<std::size_t>(i)];
    const int fd = event.data.fd;  // epoll_event is packed: its fields are copied, not bound
    const std::uint32_t what = event.events;
    if (fd == wake_) {
      std::uint64_t value = 0;
      [[maybe_unused]] const ssize_t got = read(wake_, &value, sizeof value);
      continue;
    }
    fired[static_cast<std::size_t>(count++)] = {fd, what};
  }
  if (!flags.testFlag(QEventLoop::ExcludeSocketNotifiers)) {
    for (int i = 0; i < count; ++i) {
      const auto [fd, what] = fired[static_cast<std::size_t>(i)];
      const auto activate = [this, fd = fd, &handled](QSocketNotifier* Watched::*which) {
        // Looked up anew: the list may have grown, moving every entry.
        const Watched* watched = Find(fd);
        if (watched == nullptr || watched->*which == nullptr) return;
        QEvent event(QEvent::SockAct);
        QCoreApplication::sendEvent(watched->*which, &event);
        handled = true;
      };
      // A hang-up or an error is for the reader (and the writer) to find out.
      if ((what & (EPOLLIN | EPOLLHUP | EPOLLERR)) != 0) activate(&Watched::read);
      if ((what & (EPOLLOUT | EPOLLHUP | EPOLLERR)) != 0) activate(&Watched::write);
      if ((what & EPOLLPRI) != 0) activate(&Watched::exception);
    }
  }
  if (!flags.testFlag(QEventLoop::X11ExcludeTimers) && FireTimers()) handled = true;
  return handled;
}

}  // namespace tandemhoop::server
