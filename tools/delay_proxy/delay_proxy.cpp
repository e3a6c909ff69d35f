// delay-proxy: a TCP proxy for tests on one machine that makes loopback behave like a distant
// network. Each direction of each connection is delayed by a fixed time plus jitter (the order
// of the bytes is kept, as TCP keeps it), and may stall now and then for a few hundred
// milliseconds with everything behind it held, as TCP does while it resends a lost segment.
// SIGUSR1 cuts every open connection at once (a dropped connection); SIGTERM and SIGINT end it.
//
//   delay-proxy --listen PORT --to HOST:PORT [--delay-ms 60] [--jitter-ms 10]
//               [--stall-every MS] [--stall-ms MIN[-MAX]] [--seed N]
//
// Listens on 127.0.0.1 only; --listen 0 takes any free port. Prints
// "delay-proxy listening on 127.0.0.1:PORT" once it listens, one line a connection, and ends
// with status 0.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <time.h>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

volatile std::sig_atomic_t stopRequested = 0;
volatile std::sig_atomic_t cutRequested = 0;

void OnStop(int) {
  stopRequested = 1;
}
void OnCut(int) {
  cutRequested = 1;
}

std::int64_t NowNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

constexpr std::int64_t kMs = 1'000'000;
// Bytes held for one direction before the proxy stops reading that side: the sender then feels
// the delay as a full window, as over a real link.
constexpr std::size_t kMaxQueued = 4u << 20;

struct Options {
  int listenPort = -1;
  std::string toHost;
  int toPort = -1;
  std::int64_t delayMs = 0;
  std::int64_t jitterMs = 0;
  std::int64_t stallEveryMs = 0;  // the mean time between stalls of one direction; 0: none
  std::int64_t stallMinMs = 200;
  std::int64_t stallMaxMs = 400;
  std::uint64_t seed = 1;
};

[[noreturn]] void Usage(const char* problem) {
  std::fprintf(stderr,
               "delay-proxy: %s\n"
               "usage: delay-proxy --listen PORT --to HOST:PORT [--delay-ms N] [--jitter-ms N]\n"
               "                   [--stall-every MS] [--stall-ms MIN[-MAX]] [--seed N]\n",
               problem);
  std::exit(2);
}

std::int64_t Number(const char* text, const char* option) {
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || value < 0) Usage(option);
  return value;
}

Options Parse(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (i + 1 >= argc) Usage(("no value after " + option).c_str());
    const char* value = argv[++i];
    if (option == "--listen") {
      options.listenPort = static_cast<int>(Number(value, "--listen: not a port"));
    } else if (option == "--to") {
      const std::string target = value;
      const std::size_t colon = target.rfind(':');
      if (colon == std::string::npos) Usage("--to: HOST:PORT");
      options.toHost = target.substr(0, colon);
      options.toPort = static_cast<int>(Number(target.c_str() + colon + 1, "--to: not a port"));
    } else if (option == "--delay-ms") {
      options.delayMs = Number(value, "--delay-ms: not a number");
    } else if (option == "--jitter-ms") {
      options.jitterMs = Number(value, "--jitter-ms: not a number");
    } else if (option == "--stall-every") {
      options.stallEveryMs = Number(value, "--stall-every: not a number");
    } else if (option == "--stall-ms") {
      const std::string range = value;
      const std::size_t dash = range.find('-');
      options.stallMinMs = Number(range.substr(0, dash).c_str(), "--stall-ms: not a number");
      options.stallMaxMs = dash == std::string::npos
                               ? options.stallMinMs
                               : Number(range.c_str() + dash + 1, "--stall-ms: not a number");
      if (options.stallMaxMs < options.stallMinMs) Usage("--stall-ms: MIN-MAX");
    } else if (option == "--seed") {
      options.seed = static_cast<std::uint64_t>(Number(value, "--seed: not a number"));
    } else {
      Usage(("unknown option " + option).c_str());
    }
  }
  if (options.listenPort < 0 || options.listenPort > 65535 || options.toPort <= 0 ||
      options.toPort > 65535)
    Usage("--listen and --to are needed");
  if (options.jitterMs > options.delayMs) Usage("--jitter-ms may not exceed --delay-ms");
  return options;
}

void NonBlocking(int fd) {
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  const int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

// One direction of a connection: bytes read from `from`, each chunk due at its time.
struct Direction {
  struct Chunk {
    std::int64_t due;
    std::string bytes;
    std::size_t sent = 0;
  };
  std::deque<Chunk> chunks;
  std::size_t queued = 0;
  std::int64_t lastDue = 0;
  std::int64_t nextStall = 0;
  std::int64_t stallUntil = 0;
  bool readClosed = false;   // the sender closed its side
  bool writeClosed = false;  // and everything it sent has been passed on
};

struct Connection {
  int number = 0;
  int fds[2] = {-1, -1};  // 0: the client who connected, 1: the target
  bool connecting = true;
  Direction directions[2];  // 0: client to target, 1: target to client
  bool dead = false;
};

class Proxy {
 public:
  explicit Proxy(const Options& options) : options_(options), random_(options.seed) {}

  bool Listen() {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(options_.listenPort));
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 64) != 0) {
      std::fprintf(stderr, "delay-proxy: cannot listen on 127.0.0.1:%d: %s\n", options_.listenPort,
                   std::strerror(errno));
      return false;
    }
    socklen_t length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    NonBlocking(listener_);
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(options_.toHost.c_str(), std::to_string(options_.toPort).c_str(), &hints,
                    &found) != 0 ||
        found == nullptr) {
      std::fprintf(stderr, "delay-proxy: cannot resolve %s\n", options_.toHost.c_str());
      return false;
    }
    std::memcpy(&target_, found->ai_addr, sizeof target_);
    freeaddrinfo(found);
    std::printf("delay-proxy listening on 127.0.0.1:%d\n", ntohs(address.sin_port));
    std::fflush(stdout);
    return true;
  }

  void Run() {
    std::vector<pollfd> fds;
    while (stopRequested == 0) {
      if (cutRequested != 0) {
        cutRequested = 0;
        for (auto& connection : connections_)
          connection->dead = true;
        std::printf("cut %zu connections\n", connections_.size());
        std::fflush(stdout);
      }
      const std::int64_t now = NowNs();
      for (auto& connection : connections_)
        Flush(*connection, now);
      Reap();

      fds.clear();
      fds.push_back({listener_, POLLIN, 0});
      for (auto& connection : connections_) {
        for (int side = 0; side < 2; ++side) {
          short events = 0;
          const Direction& out = connection->directions[side];     // read from this side
          const Direction& in = connection->directions[1 - side];  // written to this side
          if (connection->connecting) {
            if (side == 1) events = POLLOUT;
          } else {
            if (!out.readClosed && out.queued < kMaxQueued) events |= POLLIN;
            if (!in.chunks.empty() && in.chunks.front().due <= now) events |= POLLOUT;
          }
          // A side with nothing more to do is left out: a reset one would wake the poll at once.
          const bool done = out.readClosed && in.writeClosed;
          fds.push_back({done ? -1 : connection->fds[side], events, 0});
        }
      }
      const int timeout = NextTimeout(now);
      if (poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) break;
      const std::int64_t after = NowNs();
      for (std::size_t i = 0; 1 + 2 * i < fds.size(); ++i) {
        Connection& connection = *connections_[i];
        for (int side = 0; side < 2; ++side) {
          const short revents = fds[1 + 2 * i + static_cast<std::size_t>(side)].revents;
          if (revents == 0) continue;
          if (connection.connecting && side == 1) {
            int error = 0;
            socklen_t length = sizeof error;
            getsockopt(connection.fds[1], SOL_SOCKET, SO_ERROR, &error, &length);
            if (error != 0) {
              connection.dead = true;
            } else {
              connection.connecting = false;
            }
            continue;
          }
          if ((revents & (POLLIN | POLLHUP | POLLERR)) != 0) Read(connection, side, after);
        }
      }
      if ((fds[0].revents & POLLIN) != 0) Accept();
    }
    for (auto& connection : connections_)
      connection->dead = true;
    Reap();
  }

 private:
  void Accept() {
    for (;;) {
      const int client = accept(listener_, nullptr, nullptr);
      if (client < 0) return;
      NonBlocking(client);
      const int server = socket(AF_INET, SOCK_STREAM, 0);
      NonBlocking(server);
      if (connect(server, reinterpret_cast<const sockaddr*>(&target_), sizeof target_) != 0 &&
          errno != EINPROGRESS) {
        close(client);
        close(server);
        continue;
      }
      auto connection = std::make_unique<Connection>();
      connection->number = ++count_;
      connection->fds[0] = client;
      connection->fds[1] = server;
      const std::int64_t now = NowNs();
      for (Direction& direction : connection->directions)
        direction.nextStall = now + StallGap();
      std::printf("connection %d opened\n", connection->number);
      std::fflush(stdout);
      connections_.push_back(std::move(connection));
    }
  }

  // Time to the next stall of a direction: exponential, so stalls come at random moments.
  std::int64_t StallGap() {
    if (options_.stallEveryMs == 0) return INT64_MAX / 2;
    std::exponential_distribution<double> gap(1.0 / static_cast<double>(options_.stallEveryMs));
    return static_cast<std::int64_t>(gap(random_) * static_cast<double>(kMs));
  }

  void Read(Connection& connection, int side, std::int64_t now) {
    Direction& direction = connection.directions[side];
    char buffer[65536];
    const ssize_t got = read(connection.fds[side], buffer, sizeof buffer);
    if (got < 0) {
      if (errno != EAGAIN && errno != EINTR) Reset(connection, side);
      return;
    }
    if (got == 0) {
      direction.readClosed = true;
      return;
    }
    if (now >= direction.nextStall) {
      std::uniform_int_distribution<std::int64_t> length(options_.stallMinMs, options_.stallMaxMs);
      direction.stallUntil = now + length(random_) * kMs;
      direction.nextStall = direction.stallUntil + StallGap();
    }
    std::uniform_int_distribution<std::int64_t> jitter(-options_.jitterMs * kMs,
                                                       options_.jitterMs * kMs);
    const std::int64_t due = std::max(
        {now + options_.delayMs * kMs + jitter(random_), direction.lastDue, direction.stallUntil});
    direction.lastDue = due;
    direction.chunks.push_back({due, std::string(buffer, static_cast<std::size_t>(got))});
    direction.queued += static_cast<std::size_t>(got);
  }

  // One side reset its connection (it closed it with bytes still coming in). What it sent
  // before is on its way and still arrives, as over a real link; nothing reaches it any more.
  void Reset(Connection& connection, int side) {
    connection.directions[side].readClosed = true;
    Direction& toIt = connection.directions[1 - side];
    toIt.chunks.clear();
    toIt.queued = 0;
    toIt.readClosed = true;
    toIt.writeClosed = true;
  }

  void Flush(Connection& connection, std::int64_t now) {
    if (connection.connecting || connection.dead) return;
    for (int side = 0; side < 2; ++side) {
      Direction& direction = connection.directions[side];
      const int to = connection.fds[1 - side];
      while (!direction.chunks.empty() && direction.chunks.front().due <= now) {
        Direction::Chunk& chunk = direction.chunks.front();
        const ssize_t put =
            write(to, chunk.bytes.data() + chunk.sent, chunk.bytes.size() - chunk.sent);
        if (put < 0) {
          if (errno != EAGAIN && errno != EINTR) Reset(connection, 1 - side);
          break;
        }
        chunk.sent += static_cast<std::size_t>(put);
        direction.queued -= static_cast<std::size_t>(put);
        if (chunk.sent < chunk.bytes.size()) break;
        direction.chunks.pop_front();
      }
      if (direction.readClosed && direction.chunks.empty() && !direction.writeClosed) {
        shutdown(to, SHUT_WR);
        direction.writeClosed = true;
      }
    }
    if (connection.directions[0].writeClosed && connection.directions[1].writeClosed)
      connection.dead = true;
  }

  void Reap() {
    for (auto it = connections_.begin(); it != connections_.end();) {
      if ((*it)->dead) {
        close((*it)->fds[0]);
        close((*it)->fds[1]);
        std::printf("connection %d closed\n", (*it)->number);
        std::fflush(stdout);
        it = connections_.erase(it);
      } else {
        ++it;
      }
    }
  }

  int NextTimeout(std::int64_t now) const {
    std::int64_t next = now + 1000 * kMs;
    for (const auto& connection : connections_) {
      for (const Direction& direction : connection->directions) {
        if (!direction.chunks.empty()) next = std::min(next, direction.chunks.front().due);
      }
    }
    return static_cast<int>(std::max<std::int64_t>(0, (next - now + kMs - 1) / kMs));
  }

  Options options_;
  std::mt19937_64 random_;
  int listener_ = -1;
  sockaddr_in target_{};
  int count_ = 0;
  std::vector<std::unique_ptr<Connection>> connections_;
};

}  // namespace

int main(int argc, char** argv) {
  const Options options = Parse(argc, argv);
  struct sigaction stop = {};
  stop.sa_handler = OnStop;
  sigaction(SIGTERM, &stop, nullptr);
  sigaction(SIGINT, &stop, nullptr);
  struct sigaction cut = {};
  cut.sa_handler = OnCut;
  sigaction(SIGUSR1, &cut, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  Proxy proxy(options);
  if (!proxy.Listen()) return 1;
  proxy.Run();
  return 0;
}
