// The event loop of tandemhoop-server on its own: notifiers and timers as Qt's loops run them,
// and socket numbers reused. It runs in a thread of its own, whose loop it is (the test's main
// thread keeps Qt's).
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "server/epoll_dispatcher.h"

namespace tandemhoop::server::testing {
namespace {

// Runs `body` in a thread whose event loop is an EpollEventDispatcher.
void InLoop(const std::function<void()>& body) {
  std::unique_ptr<QThread> thread(QThread::create(body));
  thread->setEventDispatcher(new EpollEventDispatcher);
  thread->start();
  ASSERT_TRUE(thread->wait(30000));
}

// Turns of the loop until `done`, or false after many.
bool Turn(const std::function<bool()>& done) {
  for (int turn = 0; turn < 200 && !done(); ++turn) {
    QTimer wake;  // a turn never waits long for nothing
    wake.start(50);
    QThread::currentThread()->eventDispatcher()->processEvents(QEventLoop::WaitForMoreEvents);
  }
  return done();
}

struct Pair {
  Pair() { socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, fds); }
  ~Pair() {
    close(fds[0]);
    close(fds[1]);
  }
  int fds[2] = {-1, -1};
};

TEST(EpollDispatcherTest, NotifiersFollowTheirSocketsThroughSwitchingAndReusedNumbers) {
  InLoop([] {
    int heard = 0;
    int written = 0;
    {
      Pair pair;
      QSocketNotifier read(pair.fds[0], QSocketNotifier::Read);
      QSocketNotifier write(pair.fds[0], QSocketNotifier::Write);
      QObject::connect(&read, &QSocketNotifier::activated, [&] {
        char byte = 0;
        if (::read(pair.fds[0], &byte, 1) == 1) ++heard;
      });
      QObject::connect(&write, &QSocketNotifier::activated, [&] { ++written; });
      // Switched on and off within one turn, as every relayed message does: never heard of.
      for (int i = 0; i < 3; ++i) {
        write.setEnabled(true);
        write.setEnabled(false);
      }
      ASSERT_EQ(::write(pair.fds[1], "x", 1), 1);
      EXPECT_TRUE(Turn([&] { return heard == 1; }));
      EXPECT_EQ(written, 0);
      write.setEnabled(true);
      EXPECT_TRUE(Turn([&] { return written > 0; }));
    }
    // The pair is closed with its notifiers; a new one takes the same numbers.
    Pair again;
    int heardAgain = 0;
    QSocketNotifier read(again.fds[0], QSocketNotifier::Read);
    QObject::connect(&read, &QSocketNotifier::activated, [&] {
      char byte = 0;
      if (::read(again.fds[0], &byte, 1) == 1) ++heardAgain;
    });
    ASSERT_EQ(::write(again.fds[1], "y", 1), 1);
    EXPECT_TRUE(Turn([&] { return heardAgain == 1; }));
    EXPECT_EQ(heard, 1);
  });
}

TEST(EpollDispatcherTest, TimersFireAndAStoppedOneDoesNot) {
  InLoop([] {
    int fired = 0;
    int stopped = 0;
    QTimer once;
    once.setSingleShot(true);
    QObject::connect(&once, &QTimer::timeout, [&] { ++fired; });
    QTimer never;
    QObject::connect(&never, &QTimer::timeout, [&] { ++stopped; });
    once.start(10);
    never.start(10);
    never.stop();
    EXPECT_TRUE(Turn([&] { return fired == 1; }));
    EXPECT_EQ(stopped, 0);
  });
}

}  // namespace
}  // namespace tandemhoop::server::testing
