// How many games one room server holds: N rooms of two scripted players each, over loopback,
// every player sending its held sets every tick (and a ping a second, and a check every 32
// ticks) as a real client does. Reports, once every room plays, how long the server takes to
// pass a player's message on to the other (from the send to its arrival at the other player's
// socket, as the kernel stamps it: the delay the server adds, and loopback's own, but not the
// time these players take to get round to reading it), and how much of a core the server used,
// in its own code and in the kernel. The players run here, one thread on raw sockets, so that
// they cost the machine little beside the server; their own share of a core is reported too,
// and what other programs took meanwhile.
//   tandemhoop_server_load --port P --server-pid PID --rooms N [--speed classic|fast]
//                          [--seconds S]
// Each room's players connect from an address of their own in 127.1.0.0/16, as players from
// different homes do, so that the server's limits per address hold them as they hold anyone.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <queue>
#include <random>
#include <string>
#include <vector>

#include "net/match.h"
#include "net/wire.h"

namespace {

using namespace tandemhoop;

std::int64_t NowNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// The kernel stamps what arrives on the wall clock; the players keep time on the monotonic one.
std::int64_t WallMinusMonotonicNs() {
  timespec wall{};
  clock_gettime(CLOCK_REALTIME, &wall);
  const std::int64_t monotonic = NowNs();
  return static_cast<std::int64_t>(wall.tv_sec) * 1'000'000'000 + wall.tv_nsec - monotonic;
}

constexpr std::int64_t kMs = 1'000'000;
constexpr std::int64_t kSecond = 1000 * kMs;

// A process's CPU time so far, in seconds, from /proc: in its own code (user) and in the kernel
// on its behalf (system). On loopback the kernel's work of receiving is mostly done in the
// sender's system calls, so the split says where a change can still take time off.
struct CpuTime {
  double user = 0;
  double system = 0;
};
CpuTime CpuSeconds(int pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) return {};
  std::vector<std::string> fields;
  std::size_t at = close + 2;
  while (at < text.size()) {
    const std::size_t space = text.find(' ', at);
    fields.push_back(text.substr(at, space - at));
    if (space == std::string::npos) break;
    at = space + 1;
  }
  // After the name: state is field 3, utime field 14 and stime field 15.
  if (fields.size() < 13) return {};
  const double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
  return {std::stod(fields[11]) / tick, std::stod(fields[12]) / tick};
}

// This process's own CPU time, to see that the players are not what runs out of time.
CpuTime OwnCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return {seconds(usage.ru_utime), seconds(usage.ru_stime)};
}

// The machine's busy CPU time so far, every core together: what other programs took during the
// measurement is this less the server's and the players'. Their turns on the same cores are
// delays the server did not cause.
double BusySeconds() {
  std::ifstream stat("/proc/stat");
  std::string cpu;
  stat >> cpu;
  double busy = 0;
  for (int field = 0; field < 8; ++field) {
    double ticks = 0;
    stat >> ticks;
    if (field != 3 && field != 4) busy += ticks;  // all but idle and iowait
  }
  return busy / static_cast<double>(sysconf(_SC_CLK_TCK));
}

enum class Stage { Connecting, Upgrading, AtDoor, Waiting, Agreeing, Playing, Dead };

struct Player {
  int fd = -1;
  int room = 0;
  int side = 0;  // 0 the host (Player 1), 1 the guest
  Stage stage = Stage::Connecting;
  std::string in;   // bytes read, not yet a whole frame
  std::string out;  // bytes not yet taken by the socket
  net::Nonce nonce{};
  bool gotCommit = false;
  bool gotReveal = false;
  bool revealed = false;
  std::vector<net::Held> held;  // sent, from tick 0
  std::uint32_t ack = 0;        // the other's held sets received
  std::uint32_t otherAck = 0;   // ours the other holds
  std::int64_t nextTick = 0;
  std::int64_t nextPing = 0;
  std::vector<std::int64_t> sentAt;  // by tick
};

struct Room {
  net::RoomCode code{};
  bool made = false;
  int players[2] = {-1, -1};
  net::Agreement agreement;
};

class Load {
 public:
  Load(int port, int rooms, Speed speed)
      : port_(port),
        speed_(speed),
        tick_(TickNanoseconds(speed)),
        rooms_(static_cast<std::size_t>(rooms)) {
    epoll_ = epoll_create1(0);
    // Players are found by their index, and messages handled with a reference held: the list
    // never moves.
    players_.reserve(2 * rooms_.size());
  }

  // Opens the rooms, a few at a time, and waits until every one plays. False if some did not
  // within the time.
  bool Open(std::int64_t limitNs) {
    const std::int64_t deadline = NowNs() + limitNs;
    std::size_t opened = 0;
    while (NowNs() < deadline) {
      // A hundred hosts every 50 ms: the server's queue of new connections never overflows.
      const std::size_t batch = std::min(rooms_.size(), opened + 100);
      for (; opened < batch; ++opened)
        Connect(static_cast<int>(opened), 0);
      const std::int64_t until = NowNs() + 50 * kMs;
      while (NowNs() < until)
        Turn(until);
      if (opened == rooms_.size() && playing_ == static_cast<int>(2 * rooms_.size())) return true;
    }
    return false;
  }

  struct Figures {
    std::vector<std::int64_t> delays;
    std::uint64_t messages = 0;
  };
  Figures Measure(std::int64_t durationNs) {
    figures_ = {};
    measuring_ = true;
    const std::int64_t until = NowNs() + durationNs;
    while (NowNs() < until)
      Turn(until);
    measuring_ = false;
    return figures_;
  }

  int playing() const { return playing_; }
  int dead() const { return dead_; }

 private:
  void Connect(int room, int side) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    // When a message came in is the kernel's stamp on it, not when this one thread got round to
    // reading it: its own turns are no delay of the server's.
    setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPNS, &one, sizeof one);
    sockaddr_in from{};
    from.sin_family = AF_INET;
    from.sin_addr.s_addr = htonl((127u << 24) | (1u << 16) | static_cast<std::uint32_t>(room + 1));
    bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(static_cast<std::uint16_t>(port_));
    connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to);
    const int index = static_cast<int>(players_.size());
    Player& player = players_.emplace_back();
    player.fd = fd;
    player.room = room;
    player.side = side;
    player.sentAt.reserve(1 << 16);
    for (std::size_t i = 0; i < player.nonce.size(); ++i)
      player.nonce[i] = static_cast<std::uint8_t>(random_());
    rooms_[static_cast<std::size_t>(room)].players[side] = index;
    epoll_event event{};
    event.events = EPOLLIN | EPOLLOUT | EPOLLET;
    event.data.u32 = static_cast<std::uint32_t>(index);
    epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event);
  }

  void Turn(std::int64_t until) {
    std::int64_t now = NowNs();
    while (!due_.empty() && due_.top().first <= now) {
      const int index = due_.top().second;
      due_.pop();
      Tick(index, now);
    }
    const std::int64_t next = due_.empty() ? until : std::min(until, due_.top().first);
    // Asleep to the next tick to the microsecond: a player that spins would take the core's
    // time from whatever shares it, and a waking sleeper gets the core sooner.
    const std::int64_t wait = std::max<std::int64_t>(0, next - now);
    const timespec timeout{static_cast<time_t>(wait / kSecond), static_cast<long>(wait % kSecond)};
    epoll_event events[256];
    const int count = epoll_pwait2(epoll_, events, 256, &timeout, nullptr);
    now = NowNs();
    for (int i = 0; i < count; ++i) {
      Player& player = players_[events[i].data.u32];
      if ((events[i].events & EPOLLOUT) != 0) {
        if (player.stage == Stage::Connecting) {
          player.stage = Stage::Upgrading;
          const net::RoomCode& code = rooms_[static_cast<std::size_t>(player.room)].code;
          const std::string path =
              player.side == 0 ? "/play" : "/play/" + std::string(code.data(), 6);
          player.out += "GET " + path +
                        " HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\nConnection: "
                        "Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                        "Sec-WebSocket-Version: 13\r\n\r\n";
        }
        Write(player);
      }
      if ((events[i].events & (EPOLLIN | EPOLLHUP | EPOLLERR)) != 0) Read(events[i].data.u32, now);
    }
  }

  void Kill(Player& player) {
    if (player.stage == Stage::Dead) return;
    if (player.stage == Stage::Playing) --playing_;
    player.stage = Stage::Dead;
    ++dead_;
    close(player.fd);
  }

  void Write(Player& player) {
    while (!player.out.empty() && player.stage != Stage::Dead) {
      const ssize_t put = send(player.fd, player.out.data(), player.out.size(), MSG_NOSIGNAL);
      if (put < 0) {
        if (errno != EAGAIN) Kill(player);
        return;
      }
      player.out.erase(0, static_cast<std::size_t>(put));
    }
  }

  void Send(Player& player, const net::Message& message) {
    net::Frame frame;
    if (!net::Encode(message, frame)) return;
    // A client's frame: final binary frame, masked (the server refuses an unmasked one).
    const std::uint32_t mask = static_cast<std::uint32_t>(random_());
    std::string bytes;
    bytes += static_cast<char>(0x82);
    if (frame.size < 126) {
      bytes += static_cast<char>(0x80 | frame.size);
    } else {
      bytes += static_cast<char>(0x80 | 126);
      bytes += static_cast<char>(frame.size >> 8);
      bytes += static_cast<char>(frame.size & 0xFF);
    }
    for (int i = 0; i < 4; ++i)
      bytes += static_cast<char>(mask >> (8 * i));
    for (std::size_t i = 0; i < frame.size; ++i)
      bytes += static_cast<char>(frame.bytes[i] ^ static_cast<std::uint8_t>(mask >> (8 * (i % 4))));
    player.out += bytes;
    Write(player);
  }

  void Read(std::uint32_t index, std::int64_t now) {
    Player& player = players_[index];
    char buffer[16384];
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(timespec))];
    for (;;) {
      iovec part{buffer, sizeof buffer};
      msghdr header{};
      header.msg_iov = &part;
      header.msg_iovlen = 1;
      header.msg_control = control;
      header.msg_controllen = sizeof control;
      const ssize_t got = recvmsg(player.fd, &header, 0);
      if (got == 0 || (got < 0 && errno != EAGAIN)) {
        Kill(player);
        return;
      }
      if (got < 0) break;
      player.in.append(buffer, static_cast<std::size_t>(got));
      // The stamp is that of the last segment read: the newest message's arrival, and no earlier
      // than any other's in the same read.
      for (cmsghdr* entry = CMSG_FIRSTHDR(&header); entry != nullptr;
           entry = CMSG_NXTHDR(&header, entry)) {
        if (entry->cmsg_level == SOL_SOCKET && entry->cmsg_type == SCM_TIMESTAMPNS) {
          timespec stamp{};
          std::memcpy(&stamp, CMSG_DATA(entry), sizeof stamp);
          now = std::min(
              now, static_cast<std::int64_t>(stamp.tv_sec) * kSecond + stamp.tv_nsec - wallOffset_);
        }
      }
      // Edge-triggered: a short read took all there was, and more makes a new edge.
      if (static_cast<std::size_t>(got) < sizeof buffer) break;
    }
    if (player.stage == Stage::Upgrading) {
      const std::size_t end = player.in.find("\r\n\r\n");
      if (end == std::string::npos) return;
      if (player.in.compare(0, 12, "HTTP/1.1 101") != 0) {
        Kill(player);
        return;
      }
      player.in.erase(0, end + 4);
      player.stage = Stage::AtDoor;
      Door(player);
    }
    std::size_t at = 0;
    while (player.in.size() - at >= 2 && player.stage != Stage::Dead) {
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(player.in.data() + at);
      std::size_t length = bytes[1] & 0x7F;
      std::size_t header = 2;
      if (length == 126) {
        if (player.in.size() - at < 4) break;
        length = static_cast<std::size_t>(bytes[2]) << 8 | bytes[3];
        header = 4;
      } else if (length == 127) {
        Kill(player);  // no message of ours is that long
        return;
      }
      if (player.in.size() - at < header + length) break;
      const int opcode = bytes[0] & 0x0F;
      if (opcode == 0x2) {
        Message(index, {bytes + header, length}, now);
      } else if (opcode == 0x9) {  // a WebSocket ping: its pong, masked with zeros
        std::string pong = "\x8A";
        pong += static_cast<char>(0x80 | length);
        pong.append(4, '\0');
        pong.append(reinterpret_cast<const char*>(bytes + header), length);
        player.out += pong;
        Write(player);
      } else if (opcode == 0x8) {
        Kill(player);
        return;
      }
      at += header + length;
    }
    player.in.erase(0, at);
  }

  void Door(Player& player) {
    if (player.side == 0) {
      net::CreateRoom create;
      create.fingerprint = 1;
      create.speed = speed_;
      create.version = net::VersionText("bench");
      Send(player, create);
    } else {
      net::JoinRoom join;
      join.fingerprint = 1;
      join.code = rooms_[static_cast<std::size_t>(player.room)].code;
      join.version = net::VersionText("bench");
      Send(player, join);
    }
  }

  void Message(std::uint32_t index, std::span<const std::uint8_t> bytes, std::int64_t now) {
    Player& player = players_[index];
    Room& room = rooms_[static_cast<std::size_t>(player.room)];
    if (measuring_) ++figures_.messages;
    net::Message message;
    if (net::Decode(bytes, message) != net::WireError::None) {
      Kill(player);
      return;
    }
    if (const auto* created = std::get_if<net::RoomCreated>(&message)) {
      room.code = created->code;
      player.stage = Stage::Waiting;
      Connect(player.room, 1);
    } else if (std::holds_alternative<net::RoomJoined>(message)) {
      player.stage = Stage::Waiting;
    } else if (std::holds_alternative<net::PeerJoined>(message)) {
      player.stage = Stage::Agreeing;
      Send(player, net::Commit{1, net::CommitmentOf(player.nonce)});
    } else if (std::holds_alternative<net::Commit>(message)) {
      player.gotCommit = true;
      Send(player, net::Reveal{1, player.nonce});
    } else if (std::holds_alternative<net::Reveal>(message)) {
      // The host starts once both nonces are out; the guest plays from the Start.
      if (player.side == 0) {
        Send(player, net::Start{1, 1, 2});
        Play(index, now);
      }
    } else if (std::holds_alternative<net::Start>(message)) {
      Play(index, now);
    } else if (const auto* inputs = std::get_if<net::Inputs>(&message)) {
      const std::uint32_t end = inputs->first + inputs->count;
      if (end > player.ack) {
        // The delay of the newest held set: from its sending by the other to this read.
        const Player& other = players_[static_cast<std::size_t>(room.players[1 - player.side])];
        if (measuring_ && end - 1 < other.sentAt.size())
          figures_.delays.push_back(now - other.sentAt[end - 1]);
        player.ack = end;
      }
      player.otherAck = std::max(player.otherAck, inputs->ack);
    } else if (const auto* ping = std::get_if<net::Ping>(&message)) {
      Send(player, net::Pong{ping->stamp});
    } else if (std::holds_alternative<net::Refused>(message) ||
               std::holds_alternative<net::Leave>(message)) {
      Kill(player);
    }
  }

  void Play(std::uint32_t index, std::int64_t now) {
    Player& player = players_[index];
    player.stage = Stage::Playing;
    ++playing_;
    // Players' ticks fall anywhere within the period, as real machines' do.
    player.nextTick =
        now + static_cast<std::int64_t>(random_() % static_cast<std::uint64_t>(tick_));
    player.nextPing = now + kSecond;
    due_.push({player.nextTick, static_cast<int>(index)});
  }

  void Tick(int index, std::int64_t now) {
    Player& player = players_[static_cast<std::size_t>(index)];
    if (player.stage != Stage::Playing) return;
    const std::uint32_t tick = static_cast<std::uint32_t>(player.held.size());
    if (random_() % 6 == 0 || tick == 0) held_ = static_cast<net::Held>(random_() & net::kHeldMask);
    player.held.push_back(held_);
    net::Inputs inputs;
    inputs.match = 1;
    inputs.ack = player.ack;
    inputs.tick = tick + 1;
    // Everything the other has not acknowledged, at most a message's worth.
    inputs.first = std::max(player.otherAck,
                            tick + 1 > net::kMaxInputsPerMessage
                                ? tick + 1 - static_cast<std::uint32_t>(net::kMaxInputsPerMessage)
                                : 0u);
    inputs.count = static_cast<std::uint8_t>(tick + 1 - inputs.first);
    std::copy_n(player.held.begin() + inputs.first, inputs.count, inputs.held.begin());
    // Stamped as it goes: the players due at once are sent one after another.
    player.sentAt.push_back(NowNs());
    Send(player, inputs);
    // Both sides' checks are the same: this is no game, only its traffic.
    if ((tick + 1) % 32 == 0 && tick + 1 <= player.ack)
      Send(player, net::Check{1, net::CheckKind::Periodic, tick, 0x1234, tick});
    if (now >= player.nextPing) {
      Send(player, net::Ping{static_cast<std::uint64_t>(now)});
      player.nextPing += kSecond;
    }
    player.nextTick += tick_;
    due_.push({player.nextTick, index});
  }

  int port_;
  Speed speed_;
  std::int64_t tick_;
  int epoll_ = -1;
  std::vector<Room> rooms_;
  std::vector<Player> players_;
  std::priority_queue<std::pair<std::int64_t, int>, std::vector<std::pair<std::int64_t, int>>,
                      std::greater<>>
      due_;
  std::mt19937_64 random_{42};
  net::Held held_ = 0;
  int playing_ = 0;
  int dead_ = 0;
  bool measuring_ = false;
  const std::int64_t wallOffset_ = WallMinusMonotonicNs();
  Figures figures_;
};

double Percentile(std::vector<std::int64_t>& values, double share) {
  if (values.empty()) return 0;
  const std::size_t at = std::min(
      values.size() - 1, static_cast<std::size_t>(share * static_cast<double>(values.size())));
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(at), values.end());
  return static_cast<double>(values[at]) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  int port = 0;
  int pid = 0;
  int rooms = 100;
  int seconds = 10;
  Speed speed = Speed::Classic;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    const char* value = argv[i + 1];
    if (option == "--port") {
      port = std::atoi(value);
    } else if (option == "--server-pid") {
      pid = std::atoi(value);
    } else if (option == "--rooms") {
      rooms = std::atoi(value);
    } else if (option == "--seconds") {
      seconds = std::atoi(value);
    } else if (option == "--speed") {
      speed = std::string(value) == "fast" ? Speed::Fast : Speed::Classic;
    } else {
      std::fprintf(stderr, "unknown option %s\n", option.c_str());
      return 2;
    }
  }
  if (port <= 0 || pid <= 0 || rooms < 1 || rooms > 60000 || seconds < 1) {
    std::fprintf(stderr,
                 "usage: tandemhoop_server_load --port P --server-pid PID --rooms N "
                 "[--speed classic|fast] [--seconds S]\n");
    return 2;
  }
  rlimit files{};
  getrlimit(RLIMIT_NOFILE, &files);
  files.rlim_cur = files.rlim_max;
  setrlimit(RLIMIT_NOFILE, &files);
  if (files.rlim_cur < static_cast<rlim_t>(2 * rooms + 64)) {
    std::fprintf(stderr, "server-load: %d rooms need %d open files; the limit is %llu\n", rooms,
                 2 * rooms + 64, static_cast<unsigned long long>(files.rlim_cur));
    return 1;
  }

  const char* name = speed == Speed::Classic ? "classic" : "fast";
  Load load(port, rooms, speed);
  if (!load.Open(60 * kSecond)) {
    std::printf("server-load: %s rooms %d: only %d of %d players reached play (%d cut off)\n", name,
                rooms, load.playing(), 2 * rooms, load.dead());
    return 1;
  }
  load.Measure(2 * kSecond);  // past the start, when every room has just begun
  const CpuTime serverBefore = CpuSeconds(pid);
  const CpuTime ownBefore = OwnCpuSeconds();
  const double busyBefore = BusySeconds();
  const std::int64_t start = NowNs();
  Load::Figures figures = load.Measure(seconds * kSecond);
  const double wall = static_cast<double>(NowNs() - start) / 1e9;
  const CpuTime serverAfter = CpuSeconds(pid);
  const CpuTime ownAfter = OwnCpuSeconds();
  const double busy = (BusySeconds() - busyBefore) / wall;
  const double user = (serverAfter.user - serverBefore.user) / wall;
  const double system = (serverAfter.system - serverBefore.system) / wall;
  const double own = (ownAfter.user + ownAfter.system - ownBefore.user - ownBefore.system) / wall;
  const double others = std::max(0.0, busy - user - system - own);
  const double p50 = Percentile(figures.delays, 0.50);
  const double p99 = Percentile(figures.delays, 0.99);
  const double max = Percentile(figures.delays, 1.0);
  std::printf(
      "server-load: %s rooms %d: %d of %d players in play; %.0f messages a second in; "
      "delay p50 %.2f ms p99 %.2f ms max %.1f ms; server CPU %.0f%% of one core "
      "(user %.0f%%, system %.0f%%); players' CPU %.0f%%; other programs' %.0f%%\n",
      name, rooms, load.playing(), 2 * rooms, static_cast<double>(figures.messages) / wall, p50,
      p99, max, (user + system) * 100, user * 100, system * 100, own * 100, others * 100);
  return load.playing() == 2 * rooms ? 0 : 1;
}
