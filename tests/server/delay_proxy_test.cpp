// The delaying proxy the online tests put between real programs: it delays each way, keeps the
// order through its stalls, and cuts every connection on SIGUSR1.
#include <QElapsedTimer>
#include <csignal>

#include "tests/server/scripted_client.h"

namespace tandemhoop::server::testing {
namespace {

TEST(DelayProxyTest, DelaysEachWayKeepsTheOrderThroughStallsAndCutsOnSigusr1) {
  ServerOptions options;
  options.port = 0;
  options.proxies = {QHostAddress::LocalHost};
  RoomServer server(options, [](const QString&) {});
  QString error;
  ASSERT_TRUE(server.Listen(error));
  Program proxy(TANDEMHOOP_DELAY_PROXY,
                {QStringLiteral("--listen"), QStringLiteral("0"), QStringLiteral("--to"),
                 QStringLiteral("127.0.0.1:%1").arg(server.port()), QStringLiteral("--delay-ms"),
                 QStringLiteral("60"), QStringLiteral("--jitter-ms"), QStringLiteral("10"),
                 QStringLiteral("--stall-every"), QStringLiteral("300"),
                 QStringLiteral("--stall-ms"), QStringLiteral("100-200")});
  const quint16 front = proxy.Port();
  ASSERT_NE(front, 0) << proxy.output.toStdString();
  Pair pair(front);
  ASSERT_TRUE(pair.ok);
  pair.Agree();
  pair.Start(1, 1, 2);

  // Host to proxy to server, then server to proxy to guest: two delayed hops of at least 50 ms.
  QElapsedTimer clock;
  clock.start();
  pair.host.Send(net::Ping{0});
  ASSERT_TRUE(pair.guest->Until<net::Ping>());
  EXPECT_GE(clock.elapsed(), 100);

  for (std::uint64_t stamp = 1; stamp <= 40; ++stamp)
    pair.host.Send(net::Ping{stamp});
  for (std::uint64_t stamp = 1; stamp <= 40; ++stamp)
    EXPECT_EQ(pair.guest->Expect<net::Ping>().stamp, stamp);

  proxy.Signal(SIGUSR1);
  EXPECT_TRUE(pair.host.WaitClosed());
  EXPECT_TRUE(pair.guest->WaitClosed());
  EXPECT_TRUE(WaitFor([&server] { return server.counts().peers == 0; }));
  EXPECT_EQ(server.counts().rooms, 1);  // both players may still come back
  proxy.Signal(SIGTERM);
  EXPECT_EQ(proxy.Finished(), 0);
}

}  // namespace
}  // namespace tandemhoop::server::testing
