#include "net/session.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "game/replay.h"
#include "net/match.h"
#include "net/room.h"
#include "net/sha256.h"

namespace tandemhoop::net {

namespace {

constexpr std::int64_t kMs = 1'000'000;
// The longest a side runs ahead of the other's inputs: long enough to ride out the 200 to 400 ms
// a lost TCP segment holds everything behind it, so that such a stall deepens a rollback rather
// than freezing the game. And the most input delay a side takes.
constexpr std::int64_t kPredictionWindowNs = 400 * kMs;
constexpr std::int64_t kMaxInputDelayNs = 150 * kMs;
// The share of the one-way time hidden by input delay; the rest is predicted and rolled back.
constexpr double kDelayShare = 0.6;
constexpr std::int64_t kPingBeforePlayNs = 500 * kMs;
constexpr std::int64_t kPingInPlayNs = 1000 * kMs;
// Time sync: the side ahead by more than the dead band stretches its period, by up to the cap.
constexpr double kSyncDeadBandTicks = 0.25;
constexpr double kSyncGainPerTick = 0.02;
constexpr double kMaxSlowdown = 0.03;
constexpr double kAdvantageSmoothing = 0.1;
constexpr std::size_t kRoundTrips = 8;  // pings remembered

constexpr int TicksOf(std::int64_t ns, Speed speed, bool roundUp) {
  const std::int64_t period = TickNanoseconds(speed);
  return static_cast<int>(roundUp ? (ns + period - 1) / period : (ns + period / 2) / period);
}

// Ticks kept for going back (a snapshot, the events and checks of each): more than a side's own
// held sets can run ahead of the other's, the prediction window and the input delay.
constexpr std::uint32_t kRecordRing = 64;
// Held sets kept of each side: the other side may run this far ahead of what is settled here.
constexpr std::uint32_t kHeldRing = 512;
constexpr std::size_t kCheckRing = 16;
constexpr std::uint32_t kNone = 0xFFFFFFFFu;

static_assert(static_cast<std::uint32_t>(TicksOf(kPredictionWindowNs, Speed::Fast, true) +
                                         TicksOf(kMaxInputDelayNs, Speed::Fast, false)) <
              kRecordRing);

Nonce NonceFor(const std::array<std::uint8_t, 32>& secret, std::uint16_t match) {
  Sha256 sha;
  sha.Add(secret);
  const std::uint8_t number[2] = {static_cast<std::uint8_t>(match),
                                  static_cast<std::uint8_t>(match >> 8)};
  sha.Add(number);
  return sha.Finish();
}

}  // namespace

// Everything the session keeps, behind the one small face of Session.
class SessionCore {
 public:
  SessionCore(Platform& frontEnd, const SessionOptions& options)
      : options_(options), match_(frontEnd, options.random), speed_(options.speed) {
    out_.reserve(64);
    records_.resize(kRecordRing);
    status_.code = options.code;
    status_.token = options.token;
  }

  // ---- the front end's calls ----

  void Open(std::int64_t now) {
    now_ = now;
    nextPingNs_ = now;
    const bool needsCode = options_.rejoin || options_.role == Role::Guest;
    if (!options_.direct && needsCode && !IsRoomCode(options_.code)) {
      // The front end reads what was typed with ParseRoomCode; anything else is no room's.
      status_.refusal = Refusal::UnknownCode;
      phase_ = Phase::Refused;
      return;
    }
    if (options_.direct) {
      BeginHandshake();
    } else if (options_.rejoin) {
      RejoinRoom m;
      m.fingerprint = CoreFingerprint();
      m.code = options_.code;
      m.token = options_.token;
      m.version = VersionText(GameVersion());
      Send(m);
    } else if (options_.role == Role::Host) {
      CreateRoom m;
      m.fingerprint = CoreFingerprint();
      m.speed = speed_;
      m.version = VersionText(GameVersion());
      Send(m);
    } else {
      JoinRoom m;
      m.fingerprint = CoreFingerprint();
      m.code = options_.code;
      m.version = VersionText(GameVersion());
      Send(m);
    }
  }

  void Receive(std::span<const std::uint8_t> bytes, std::int64_t now) {
    now_ = now;
    ++stats_.messagesReceived;
    stats_.bytesReceived += bytes.size();
    if (Finished()) return;
    Message message;
    if (Decode(bytes, message) != WireError::None) {
      Broken();
      return;
    }
    std::visit([this](const auto& m) { On(m); }, message);
  }

  std::int64_t Update(std::int64_t now, Held held) {
    now_ = now;
    if (Finished()) return now + kPingInPlayNs;
    if (phase_ != Phase::Connecting && now >= nextPingNs_) {
      Send(Ping{static_cast<std::uint64_t>(now)});
      nextPingNs_ = now + (phase_ == Phase::Playing ? kPingInPlayNs : kPingBeforePlayNs);
    }
    // Before the other side is there nothing runs by the clock: messages wake the session.
    if (phase_ == Phase::Connecting) return now + kPingBeforePlayNs;
    std::int64_t next = nextPingNs_;
    if (phase_ == Phase::Playing) next = std::min(next, Play(now, held));
    return std::max(next, now);
  }

  void ConnectionLost() {
    if (!Finished()) phase_ = Phase::Disconnected;
  }

  bool PickPlayer(int pick) {
    if (phase_ != Phase::Picking || pick < 0 || pick > 4) return false;
    const std::size_t own = LocalIndex();
    if (pick != 0 && pick == picks_[1 - own]) return false;
    picks_[own] = static_cast<std::uint8_t>(pick);
    ready_[own] = false;
    Send(net::Pick{matchNumber_, static_cast<std::uint8_t>(pick)});
    return true;
  }

  void SetReady(bool ready) {
    if (phase_ != Phase::Picking) return;
    const std::size_t own = LocalIndex();
    if (ready && picks_[own] == 0) return;
    if (ready_[own] == ready) return;
    ready_[own] = ready;
    Send(net::Ready{matchNumber_, ready});
    MaybeStart();
  }

  void RequestRematch() {
    if (phase_ != Phase::Ended || wantRematch_) return;
    wantRematch_ = true;
    Send(Rematch{matchNumber_});
    MaybeRematch();
  }

  void LeaveGame() {
    if (Finished()) return;
    Send(net::Leave{LeaveReason::Left});
    phase_ = Phase::Left;
  }

  bool TakeOutgoing(std::span<const std::uint8_t>& message) {
    if (outTaken_ == out_.size()) {
      out_.clear();
      outTaken_ = 0;
      return false;
    }
    message = out_[outTaken_++].view();
    return true;
  }

  Status status() const {
    Status status = status_;
    status.phase = phase_;
    status.match = matchNumber_;
    status.localSide = LocalIndex() == 0 ? 1 : 2;
    status.speed = speed_;
    status.p1Pick = picks_[0];
    status.p2Pick = picks_[1];
    status.p1Ready = ready_[0];
    status.p2Ready = ready_[1];
    status.peerWantsRematch = peerWantsRematch_;
    if (phase_ == Phase::Playing) {
      if (peerDropped_) {
        status.phase = Phase::PeerDropped;
      } else if (waitingSince_ >= 0) {
        status.phase = Phase::Waiting;
      } else if (match_.state().stoppageLeft > 0) {
        status.phase = Phase::Stoppage;
      }
      status.stoppageText = match_.stoppageText();
    } else if (phase_ == Phase::Ended) {
      status.stoppageText = {};
    } else if (peerDropped_ && !Finished()) {
      status.phase = Phase::PeerDropped;
    }
    return status;
  }

  const Stats& stats() const { return stats_; }
  const Game& game() const { return match_.game(); }

  std::string ReplayText() const {
    if (!started_) return {};
    // The settled state: the game itself when every tick run is settled, else the snapshot
    // before the first unsettled one.
    ReplayEnd end = match_.End();
    if (settled_ < nextTick_) {
      const Match::Snapshot& snapshot = At(settled_).before;
      end.tick = snapshot.match.gameTicks;
      end.p1Score = snapshot.game.state.p1Score;
      end.p2Score = snapshot.game.state.p2Score;
      end.hash = StateHash(snapshot.game.state);
    }
    return WriteReplay(match_.Header(), log_, end);
  }

 private:
  // What the session keeps of one tick it has run.
  struct Record {
    Match::Snapshot before;  // everything before the tick
    Held remote = 0;         // the other side's held set it ran with
    StepEvents step;
    MatchPlatform::Cues heard{};
    bool check = false;
    Check checkValue;
  };

  bool Finished() const {
    return phase_ == Phase::Refused || phase_ == Phase::Desync || phase_ == Phase::PeerLeft ||
           phase_ == Phase::Disconnected || phase_ == Phase::Left;
  }

  // Player 1 is 0, Player 2 is 1: the host plays Player 1 in odd matches.
  std::size_t LocalIndex() const {
    const bool hostIsP1 = matchNumber_ % 2 == 1;
    return (options_.role == Role::Host) == hostIsP1 ? 0 : 1;
  }

  Record& At(std::uint32_t tick) { return records_[tick % kRecordRing]; }
  const Record& At(std::uint32_t tick) const { return records_[tick % kRecordRing]; }

  void Send(const Message& message) {
    out_.emplace_back();
    if (!Encode(message, out_.back())) {
      out_.pop_back();
      return;
    }
    ++stats_.messagesSent;
    stats_.bytesSent += out_.back().size;
  }

  // The other side or the server sent what the protocol does not allow: stop, and say why.
  void Broken() {
    if (Finished()) return;
    Send(net::Leave{LeaveReason::ProtocolBroken});
    status_.refusal = Refusal::ProtocolBroken;
    phase_ = Phase::Refused;
  }

  // ---- agreement ----

  void BeginHandshake() {
    Hello hello;
    hello.fingerprint = CoreFingerprint();
    hello.speed = speed_;
    hello.host = options_.role == Role::Host;
    hello.version = VersionText(GameVersion());
    Send(hello);
    nextPingNs_ = now_;
    BeginAgreement();
  }

  void BeginAgreement() {
    phase_ = Phase::Agreeing;
    nonce_ = NonceFor(options_.secret, matchNumber_);
    haveCommit_ = false;
    haveReveal_ = false;
    Send(Commit{matchNumber_, CommitmentOf(nonce_)});
  }

  void On(const CreateRoom&) { Broken(); }
  void On(const JoinRoom&) { Broken(); }
  void On(const RejoinRoom&) { Broken(); }
  void On(const RoomCreated& m) {
    status_.code = m.code;
    status_.token = m.token;
  }
  void On(const RoomJoined& m) {
    status_.code = m.code;
    status_.token = m.token;
    speed_ = m.speed;
  }
  void On(const PeerJoined&) {
    if (phase_ == Phase::Connecting) BeginHandshake();
  }
  void On(const PeerDropped&) { peerDropped_ = true; }
  void On(const PeerReturned&) {
    peerDropped_ = false;
    // What the other side needs again that no resend brings.
    if (phase_ == Phase::Picking) {
      const std::size_t own = LocalIndex();
      Send(net::Pick{matchNumber_, picks_[own]});
      if (ready_[own]) Send(net::Ready{matchNumber_, true});
    } else if (phase_ == Phase::Ended && wantRematch_) {
      Send(Rematch{matchNumber_});
    }
  }
  void On(const Refused& m) {
    status_.refusal = m.reason;
    phase_ = Phase::Refused;
  }

  // ---- coming back ----

  // The server tells a player who came back where the match stands; the held sets of both
  // sides follow in History messages.
  void On(const Resume& m) {
    if (!options_.rejoin || phase_ != Phase::Connecting || m.phase == MatchPhase::Agreeing) {
      Broken();
      return;
    }
    options_.role = m.host ? Role::Host : Role::Guest;
    matchNumber_ = m.match;
    speed_ = m.speed;
    seed_ = m.seed;
    picks_ = {m.p1Pick, m.p2Pick};
    ready_ = {m.p1Ready, m.p2Ready};
    haveHello_ = true;
    nextPingNs_ = now_;
    if (m.phase == MatchPhase::Picking) {
      phase_ = Phase::Picking;
      return;
    }
    if (m.p1Pick == 0 || m.p2Pick == 0 || m.p1Pick == m.p2Pick) {
      Broken();
      return;
    }
    resuming_ = true;
    historyCounts_ = {m.p1Count, m.p2Count};
    for (std::vector<Held>& history : history_)
      history.clear();
    MaybeCatchUp();
  }

  void On(const History& m) {
    std::vector<Held>& history = history_[m.side - 1u];
    if (!resuming_ || m.first != history.size() ||
        history.size() + m.count > historyCounts_[m.side - 1u]) {
      Broken();
      return;
    }
    history.insert(history.end(), m.held.begin(), m.held.begin() + m.count);
    MaybeCatchUp();
  }

  // Once every held set has come: the match again from its start, as fast as it runs, then on
  // from where this side had got to.
  void MaybeCatchUp() {
    if (history_[0].size() != historyCounts_[0] || history_[1].size() != historyCounts_[1]) {
      return;
    }
    resuming_ = false;
    BeginPlay(now_);
    const std::size_t own = LocalIndex();
    const std::vector<Held>& local = history_[own];
    const std::vector<Held>& remote = history_[1 - own];
    const auto both = static_cast<std::uint32_t>(std::min(local.size(), remote.size()));
    // No side runs further ahead of the other than its window and delay.
    if (local.size() >= both + kRecordRing || remote.size() >= both + kHeldRing) {
      Broken();
      return;
    }
    catchingUp_ = true;
    for (std::uint32_t tick = 0; tick < both && !match_.state().over; ++tick) {
      localHeld_[tick % kHeldRing] = local[tick];
      remoteHeld_[tick % kHeldRing] = remote[tick];
      localCount_ = remoteCount_ = tick + 1;
      RunTick(tick, true, false, false);
      nextTick_ = tick + 1;
      SettleChecks();
    }
    // What one side had sent beyond the other: its own run again as first runs (it heard them
    // before it was gone), the other side's kept for when this side gets there.
    for (std::uint32_t tick = nextTick_; tick < remote.size(); ++tick)
      remoteHeld_[tick % kHeldRing] = remote[tick];
    remoteCount_ = std::max(nextTick_, static_cast<std::uint32_t>(remote.size()));
    for (std::uint32_t tick = nextTick_; tick < local.size(); ++tick)
      localHeld_[tick % kHeldRing] = local[tick];
    localCount_ = std::max(nextTick_, static_cast<std::uint32_t>(local.size()));
    // The other side has all of them: the server passed them on as they came.
    localAcked_ = localCount_;
    while (nextTick_ < localCount_ && !match_.state().over) {
      RunTick(nextTick_, true, nextTick_ + 1 == localCount_, false);
      ++nextTick_;
    }
    catchingUp_ = false;
    SettleChecks();
    for (std::vector<Held>& history : history_)
      history = {};
  }

  void On(const Hello& m) {
    if (m.host == (options_.role == Role::Host)) {
      Broken();
      return;
    }
    if (m.protocol != kProtocolVersion || m.version.view() != GameVersion() ||
        m.fingerprint != CoreFingerprint()) {
      status_.refusal = m.protocol != kProtocolVersion || m.version.view() != GameVersion()
                            ? Refusal::Version
                            : Refusal::Fingerprint;
      Send(net::Leave{LeaveReason::Left});
      phase_ = Phase::Refused;
      return;
    }
    if (options_.role == Role::Guest) speed_ = m.speed;
    haveHello_ = true;
  }

  void On(const Commit& m) {
    if (phase_ != Phase::Agreeing || !haveHello_ || m.match != matchNumber_ || haveCommit_) {
      Broken();
      return;
    }
    haveCommit_ = true;
    peerCommit_ = m.digest;
    Send(Reveal{matchNumber_, nonce_});
  }

  void On(const Reveal& m) {
    if (phase_ != Phase::Agreeing || m.match != matchNumber_ || !haveCommit_ || haveReveal_ ||
        CommitmentOf(m.nonce) != peerCommit_) {
      Broken();
      return;
    }
    haveReveal_ = true;
    const bool host = options_.role == Role::Host;
    seed_ = SeedOf(host ? nonce_ : m.nonce, host ? m.nonce : nonce_);
    phase_ = Phase::Picking;
    picks_ = {};
    ready_ = {};
  }

  // ---- the selection screen ----

  void On(const net::Pick& m) {
    if (m.match != matchNumber_ || phase_ != Phase::Picking) return;
    const std::size_t own = LocalIndex();
    picks_[1 - own] = m.pick;
    ready_[1 - own] = false;
    // Two picks of one player crossed: the host's stands.
    if (m.pick != 0 && m.pick == picks_[own] && options_.role == Role::Guest) {
      picks_[own] = 0;
      ready_[own] = false;
      Send(net::Pick{matchNumber_, 0});
    }
  }

  void On(const net::Ready& m) {
    if (m.match != matchNumber_ || phase_ != Phase::Picking) return;
    const std::size_t other = 1 - LocalIndex();
    ready_[other] = m.ready && picks_[other] != 0;
    MaybeStart();
  }

  void MaybeStart() {
    if (options_.role != Role::Host || phase_ != Phase::Picking) return;
    if (picks_[0] == 0 || picks_[1] == 0 || picks_[0] == picks_[1] || !ready_[0] || !ready_[1]) {
      return;
    }
    Send(Start{matchNumber_, picks_[0], picks_[1]});
    // The guest starts when the Start arrives, half a round trip from now.
    BeginPlay(now_ + quickestRoundTrip_ / 2);
  }

  void On(const Start& m) {
    if (options_.role != Role::Guest || phase_ != Phase::Picking || m.match != matchNumber_) {
      Broken();
      return;
    }
    picks_ = {m.p1Pick, m.p2Pick};
    BeginPlay(now_);
  }

  // ---- play ----

  void BeginPlay(std::int64_t startNs) {
    const Agreement agreement{seed_, speed_, picks_[0], picks_[1]};
    log_.Clear();
    match_.Begin(agreement, log_);
    started_ = true;
    period_ = TickNanoseconds(speed_);
    window_ = TicksOf(kPredictionWindowNs, speed_, true);
    const std::int64_t oneWay = quickestRoundTrip_ / 2;
    delay_ = std::min(TicksOf(static_cast<std::int64_t>(static_cast<double>(oneWay) * kDelayShare),
                              speed_, false),
                      TicksOf(kMaxInputDelayNs, speed_, false));
    stats_.inputDelayTicks = delay_;
    stats_.predictionTicks = window_;
    nextTick_ = 0;
    settled_ = 0;
    firstWrong_ = kNone;
    localHeld_.assign(kHeldRing, 0);
    remoteHeld_.assign(kHeldRing, 0);
    localCount_ = static_cast<std::uint32_t>(delay_);  // nothing held before the first input
    localAcked_ = 0;
    remoteCount_ = 0;
    nextTickNs_ = startNs;
    waitingSince_ = -1;
    lastSentNs_ = now_;
    ownChecks_.fill(Check{0, CheckKind::Periodic, 0, 0, 0});
    peerChecks_ = ownChecks_;
    localAdvantage_ = 0;
    peerAdvantage_ = 0;
    slowdown_ = 0;
    wantRematch_ = false;
    peerWantsRematch_ = false;
    status_.winner = 0;
    phase_ = Phase::Playing;
  }

  // Runs the tick that is due, if it is; returns when to come back.
  std::int64_t Play(std::int64_t now, Held held) {
    if (match_.state().over) {
      Settle(true);
      return now + period_;
    }
    if (now < nextTickNs_) return nextTickNs_;
    // Beyond the window the other side's inputs are too late: hold the game for them.
    if (nextTick_ + 1 > remoteCount_ + static_cast<std::uint32_t>(window_)) {
      if (waitingSince_ < 0) {
        waitingSince_ = nextTickNs_;
        ++stats_.waits;
      }
      Settle(true);
      // Acknowledgements keep flowing while the game holds.
      if (now - lastSentNs_ >= period_) SendInputs();
      return now + period_ / 4;
    }
    if (waitingSince_ >= 0) {
      stats_.ticksWaited +=
          static_cast<std::uint64_t>(std::max<std::int64_t>(1, (now - waitingSince_) / period_));
      waitingSince_ = -1;
      nextTickNs_ = now;
    }
    localHeld_[localCount_ % kHeldRing] = static_cast<Held>(held & kHeldMask);
    ++localCount_;
    Settle(false);
    RunTick(nextTick_, true, true, true);
    ++nextTick_;
    ++stats_.ticks;
    SettleChecks();
    SendInputs();
    // On the schedule, stretched while this side runs ahead; a tick that came late is not
    // made up with a burst.
    const auto stretched =
        static_cast<std::int64_t>(static_cast<double>(period_) * (1 + slowdown_));
    nextTickNs_ += stretched;
    if (nextTickNs_ < now) nextTickNs_ = now + stretched;
    return nextTickNs_;
  }

  // The other side's held set for a tick: the real one when it has come, else the last it held.
  Held RemoteFor(std::uint32_t tick) const {
    if (tick < remoteCount_) return remoteHeld_[tick % kHeldRing];
    return remoteCount_ == 0 ? 0 : remoteHeld_[(remoteCount_ - 1) % kHeldRing];
  }

  // Runs one tick from the state before it, noting what the session keeps of it.
  void RunTick(std::uint32_t tick, bool firstRun, bool draw, bool sound) {
    Record& record = At(tick);
    match_.Save(record.before);
    record.remote = RemoteFor(tick);
    if (firstRun) record.heard = {};
    const std::size_t own = LocalIndex();
    const Held local = localHeld_[tick % kHeldRing];
    match_.platform().SetDrawing(draw);
    match_.platform().BeginTick(record.heard, sound);
    match_.Step(own == 0 ? local : record.remote, own == 0 ? record.remote : local, record.step);
    match_.platform().SetDrawing(false);
    record.heard = match_.platform().heard();
    CheckKind kind;
    record.check = CheckDue(tick, record.step, kind);
    if (record.check) {
      record.checkValue =
          Check{matchNumber_, kind, tick, StateHash(match_.game().state), match_.random().Draws()};
    }
  }

  // Goes back to the first tick run with a wrong guess of the other side's keys and runs the
  // ticks since again, drawing the newest of them only if `drawLast` (no new tick follows).
  void Settle(bool drawLast) {
    if (firstWrong_ < nextTick_) {
      const std::uint32_t depth = nextTick_ - firstWrong_;
      ++stats_.rollbacks;
      stats_.lastRollbackDepth = static_cast<int>(depth);
      stats_.maxRollbackDepth = std::max(stats_.maxRollbackDepth, static_cast<int>(depth));
      ++stats_.rollbackDepths[std::min<std::size_t>(depth, stats_.rollbackDepths.size() - 1)];
      match_.Restore(At(firstWrong_).before);
      for (std::uint32_t tick = firstWrong_; tick < nextTick_; ++tick) {
        RunTick(tick, false, drawLast && tick + 1 == nextTick_, true);
        ++stats_.rerunTicks;
      }
    }
    firstWrong_ = kNone;
    SettleChecks();
  }

  // Ticks run with both sides' real held sets are settled: their events go into the replay and
  // their checks to the other side.
  void SettleChecks() {
    // Ticks before the first one run with a wrong guess were run right.
    const std::uint32_t settle = std::min({nextTick_, remoteCount_, firstWrong_});
    while (settled_ < settle) {
      const Record& record = At(settled_);
      for (int i = 0; i < record.step.count; ++i)
        log_.Append(record.step.events[static_cast<std::size_t>(i)]);
      // Catching up, the checks are long past: the other side has compared its own already.
      if (record.check && !catchingUp_) {
        Send(record.checkValue);
        ownChecks_[ownCheckNext_++ % kCheckRing] = record.checkValue;
        Compare(record.checkValue);
        if (Finished()) return;
      }
      if (record.step.won) status_.winner = match_.state().winner;
      ++settled_;
    }
    if (status_.winner != 0 && match_.state().over && settled_ == nextTick_) {
      phase_ = Phase::Ended;
    }
  }

  // Compares a check with the other side's of the same tick, whichever came first.
  // A check of another kind is a desync too: one side saw a message the other did not.
  void Compare(const Check& own) {
    for (const Check& peer : peerChecks_) {
      if (peer.match == own.match && peer.tick == own.tick) {
        if (!(peer == own)) Desynced(own.tick);
        return;
      }
    }
  }

  void Desynced(std::uint32_t tick) {
    Send(Desync{matchNumber_, tick});
    status_.desyncTick = tick;
    phase_ = Phase::Desync;
  }

  void On(const Check& m) {
    if (m.match != matchNumber_ || !started_) return;
    for (const Check& own : ownChecks_) {
      if (own.match == m.match && own.tick == m.tick) {
        if (!(own == m)) Desynced(m.tick);
        return;
      }
    }
    peerChecks_[peerCheckNext_++ % kCheckRing] = m;
  }

  void On(const Desync& m) {
    if (m.match != matchNumber_) return;
    status_.desyncTick = m.tick;
    phase_ = Phase::Desync;
  }

  void On(const Inputs& m) {
    if (m.match != matchNumber_ || !started_) return;
    if (phase_ != Phase::Playing) return;  // after the end nothing more is needed
    localAcked_ = std::max(localAcked_, std::min(m.ack, localCount_));
    if (m.first > remoteCount_) {
      Broken();  // a gap: everything not acknowledged is always sent
      return;
    }
    for (std::uint32_t i = 0; i < m.count; ++i) {
      const std::uint32_t tick = m.first + i;
      const Held held = m.held[i];
      if (tick < remoteCount_) {
        // Sent before: it may not have changed (if it is still kept here).
        if (tick + kHeldRing > remoteCount_ && remoteHeld_[tick % kHeldRing] != held) {
          Broken();
          return;
        }
        continue;
      }
      if (tick >= settled_ + kHeldRing) {
        Broken();  // further ahead than any side runs
        return;
      }
      remoteHeld_[tick % kHeldRing] = held;
      remoteCount_ = tick + 1;
      if (tick < nextTick_ && At(tick).remote != held) firstWrong_ = std::min(firstWrong_, tick);
    }
    // Time sync: where the other side stands now, from where it stood when it sent this.
    const double period = static_cast<double>(period_);
    const double oneWay = static_cast<double>(quickestRoundTrip_) / 2 / period;
    const double peerNow = static_cast<double>(m.tick) - 1 + oneWay;
    const double ownNow =
        static_cast<double>(nextTick_) - static_cast<double>(nextTickNs_ - now_) / period;
    localAdvantage_ += kAdvantageSmoothing * ((ownNow - peerNow) - localAdvantage_);
    peerAdvantage_ = m.advantage / 256.0;
    const double ahead = (localAdvantage_ - peerAdvantage_) / 2;
    slowdown_ = ahead > kSyncDeadBandTicks ? std::min(kMaxSlowdown, ahead * kSyncGainPerTick) : 0;
    stats_.slowdown = slowdown_;
    SettleChecks();
  }

  void SendInputs() {
    Inputs m;
    m.match = matchNumber_;
    m.ack = remoteCount_;
    m.tick = nextTick_;
    m.advantage = static_cast<std::int16_t>(std::clamp(localAdvantage_ * 256, -32768.0, 32767.0));
    m.first = localAcked_;
    m.count = static_cast<std::uint8_t>(
        std::min<std::uint32_t>(localCount_ - localAcked_, kMaxInputsPerMessage));
    for (std::uint32_t i = 0; i < m.count; ++i)
      m.held[i] = localHeld_[(m.first + i) % kHeldRing];
    Send(m);
    lastSentNs_ = now_;
  }

  // ---- after the match ----

  void On(const Rematch& m) {
    if (m.match != matchNumber_ || phase_ != Phase::Ended) return;
    peerWantsRematch_ = true;
    MaybeRematch();
  }

  void MaybeRematch() {
    if (!wantRematch_ || !peerWantsRematch_) return;
    ++matchNumber_;
    wantRematch_ = false;
    peerWantsRematch_ = false;
    started_ = false;
    BeginAgreement();
  }

  void On(const net::Leave& m) {
    status_.leaveReason = m.reason;
    phase_ = Phase::PeerLeft;
  }

  void On(const Ping& m) { Send(Pong{m.stamp}); }

  void On(const Pong& m) {
    const std::int64_t sample = now_ - static_cast<std::int64_t>(m.stamp);
    if (sample < 0 || sample > 60'000 * kMs) return;
    roundTrips_[roundTripCount_++ % roundTrips_.size()] = sample;
    // The player is shown the median of the last pings; the delay and the time sync go by the
    // quickest, the line's own latency without the stalls of a lost segment.
    const std::size_t count = std::min(roundTripCount_, roundTrips_.size());
    std::array<std::int64_t, kRoundTrips> sorted{};
    for (std::size_t i = 0; i < count; ++i) {
      std::size_t at = i;
      for (; at > 0 && sorted[at - 1] > roundTrips_[i]; --at)
        sorted[at] = sorted[at - 1];
      sorted[at] = roundTrips_[i];
    }
    stats_.roundTripMs = static_cast<double>(sorted[count / 2]) / kMs;
    quickestRoundTrip_ = sorted[0];
  }

  SessionOptions options_;
  Match match_;
  Speed speed_;
  Phase phase_ = Phase::Connecting;
  Status status_;
  Stats stats_;
  std::vector<Frame> out_;
  std::size_t outTaken_ = 0;
  std::int64_t now_ = 0;
  std::int64_t nextPingNs_ = 0;
  std::array<std::int64_t, kRoundTrips> roundTrips_{};
  std::size_t roundTripCount_ = 0;
  std::int64_t quickestRoundTrip_ = 0;
  bool peerDropped_ = false;

  // agreement
  std::uint16_t matchNumber_ = 1;
  Nonce nonce_{};
  Digest peerCommit_{};
  bool haveCommit_ = false;
  bool haveReveal_ = false;
  bool haveHello_ = false;
  std::uint32_t seed_ = 0;
  std::array<std::uint8_t, 2> picks_{};
  std::array<bool, 2> ready_{};

  // play
  bool started_ = false;
  EventLog log_;
  std::vector<Record> records_;
  std::vector<Held> localHeld_;
  std::vector<Held> remoteHeld_;
  std::uint32_t localCount_ = 0;   // own held sets decided: ticks 0 .. localCount_ - 1
  std::uint32_t localAcked_ = 0;   // of them, those the other side holds
  std::uint32_t remoteCount_ = 0;  // the other side's held sets here
  std::uint32_t nextTick_ = 0;     // ticks run
  std::uint32_t settled_ = 0;      // ticks run with both sides' real held sets, in the replay
  std::uint32_t firstWrong_ = kNone;
  int delay_ = 0;
  int window_ = 1;
  std::int64_t period_ = 1;
  std::int64_t nextTickNs_ = 0;
  std::int64_t waitingSince_ = -1;
  std::int64_t lastSentNs_ = 0;
  double localAdvantage_ = 0;
  double peerAdvantage_ = 0;
  double slowdown_ = 0;
  std::array<Check, kCheckRing> ownChecks_{};
  std::array<Check, kCheckRing> peerChecks_{};
  std::size_t ownCheckNext_ = 0;
  std::size_t peerCheckNext_ = 0;
  bool wantRematch_ = false;
  bool peerWantsRematch_ = false;

  // coming back
  bool resuming_ = false;
  bool catchingUp_ = false;
  std::array<std::uint32_t, 2> historyCounts_{};
  std::array<std::vector<Held>, 2> history_;
};

Session::Session(Platform& frontEnd, const SessionOptions& options)
    : core_(std::make_unique<SessionCore>(frontEnd, options)) {}
Session::~Session() = default;

void Session::Open(std::int64_t nowNs) {
  core_->Open(nowNs);
}
void Session::Receive(std::span<const std::uint8_t> message, std::int64_t nowNs) {
  core_->Receive(message, nowNs);
}
std::int64_t Session::Update(std::int64_t nowNs, Held held) {
  return core_->Update(nowNs, held);
}
void Session::ConnectionLost() {
  core_->ConnectionLost();
}
bool Session::PickPlayer(int pick) {
  return core_->PickPlayer(pick);
}
void Session::SetReady(bool ready) {
  core_->SetReady(ready);
}
void Session::RequestRematch() {
  core_->RequestRematch();
}
void Session::LeaveGame() {
  core_->LeaveGame();
}
bool Session::TakeOutgoing(std::span<const std::uint8_t>& message) {
  return core_->TakeOutgoing(message);
}
Status Session::status() const {
  return core_->status();
}
const Stats& Session::stats() const {
  return core_->stats();
}
std::string Session::ReplayText() const {
  return core_->ReplayText();
}
const Game& Session::game() const {
  return core_->game();
}

}  // namespace tandemhoop::net
