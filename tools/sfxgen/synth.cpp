#include "tools/sfxgen/synth.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <span>

namespace tandemhoop::sfx {

namespace {

constexpr double kRate = 48'000.0;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

using Buffer = std::vector<double>;

std::size_t Samples(double seconds) {
  return static_cast<std::size_t>(seconds * kRate);
}

// Our own noise: the same numbers from every standard library.
class Noise {
 public:
  explicit Noise(std::uint64_t seed) : state_(seed) {}
  double Next() {  // uniform in [-1, 1)
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * (2.0 / 9007199254740992.0) - 1.0;
  }

 private:
  std::uint64_t state_;
};

// A second-order filter section (the usual cookbook shapes).
class Biquad {
 public:
  static Biquad LowPass(double frequency, double q) { return Make(frequency, q, 0); }
  static Biquad HighPass(double frequency, double q) { return Make(frequency, q, 1); }
  static Biquad BandPass(double frequency, double q) { return Make(frequency, q, 2); }

  // Takes another's coefficients, keeping what it has heard.
  void Retune(const Biquad& other) {
    b0_ = other.b0_;
    b1_ = other.b1_;
    b2_ = other.b2_;
    a1_ = other.a1_;
    a2_ = other.a2_;
  }

  double Step(double x) {
    const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
  }

 private:
  static Biquad Make(double frequency, double q, int shape) {
    const double w = kTwoPi * frequency / kRate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double c = std::cos(w);
    Biquad f;
    double b0 = 0, b1 = 0, b2 = 0;
    if (shape == 0) {
      b0 = (1 - c) / 2;
      b1 = 1 - c;
      b2 = (1 - c) / 2;
    } else if (shape == 1) {
      b0 = (1 + c) / 2;
      b1 = -(1 + c);
      b2 = (1 + c) / 2;
    } else {
      b0 = alpha;
      b2 = -alpha;
    }
    const double a0 = 1 + alpha;
    f.b0_ = b0 / a0;
    f.b1_ = b1 / a0;
    f.b2_ = b2 / a0;
    f.a1_ = -2 * c / a0;
    f.a2_ = (1 - alpha) / a0;
    return f;
  }

  double b0_ = 0, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// Rises over `attack` seconds, then dies away with the time constant `decay`.
double Strike(double t, double attack, double decay) {
  if (t < 0) return 0;
  const double rise = attack > 0 ? std::min(1.0, t / attack) : 1.0;
  return rise * std::exp(-t / decay);
}

// Rises over `attack`, holds, and falls over `release` to end at `length`.
double Hold(double t, double attack, double release, double length) {
  if (t < 0 || t >= length) return 0;
  double g = 1.0;
  if (t < attack) g = t / attack;
  if (t > length - release) g = std::min(g, (length - t) / release);
  return g;
}

// A decaying sine whose pitch glides from `from` to `to` with the time constant `glide`.
void AddThump(Buffer& out, double start, double from, double to, double glide, double decay,
              double level) {
  double phase = 0;
  for (std::size_t i = Samples(start); i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kRate - start;
    const double f = to + (from - to) * std::exp(-t / glide);
    phase += kTwoPi * f / kRate;
    out[i] += level * Strike(t, 0.002, decay) * std::sin(phase);
  }
}

// Metal struck: partials at inharmonic ratios, the higher ones dying sooner.
struct Partial {
  double frequency;
  double level;
  double decay;
};

void AddClang(Buffer& out, double start, std::span<const Partial> partials, double level) {
  for (const Partial& p : partials) {
    for (std::size_t i = Samples(start); i < out.size(); ++i) {
      const double t = static_cast<double>(i) / kRate - start;
      out[i] += level * p.level * Strike(t, 0.001, p.decay) * std::sin(kTwoPi * p.frequency * t);
    }
  }
}

// Noise through a band-pass filter, shaped by `envelope(t)`.
template <typename Envelope>
void AddBandNoise(Buffer& out, std::uint64_t seed, double start, double centre, double q,
                  double level, Envelope envelope) {
  Noise noise(seed);
  Biquad band = Biquad::BandPass(centre, q);
  for (std::size_t i = Samples(start); i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kRate - start;
    out[i] += level * envelope(t) * band.Step(noise.Next());
  }
}

// To 16 bits with the loudest sample at `peak` of full scale, and a few milliseconds of fade at
// the end so no sound stops with a click.
std::vector<std::int16_t> Finish(const Buffer& in, double peak) {
  double largest = 1e-9;
  for (const double v : in)
    largest = std::max(largest, std::abs(v));
  const double scale = peak * 32767.0 / largest;
  const std::size_t fade = std::min(in.size(), Samples(0.005));
  std::vector<std::int16_t> out(in.size());
  for (std::size_t i = 0; i < in.size(); ++i) {
    double v = in[i] * scale;
    const std::size_t left = in.size() - i;
    if (left < fade) v *= static_cast<double>(left) / static_cast<double>(fade);
    out[i] = static_cast<std::int16_t>(std::lround(std::clamp(v, -32767.0, 32767.0)));
  }
  return out;
}

// A dribble on a wooden floor: the low thump of the hit with the hollow ring of the air inside
// the ball over it, and a short slap of leather on wood.
std::vector<std::int16_t> Bounce() {
  Buffer b(Samples(0.18));
  AddThump(b, 0, 190, 95, 0.02, 0.035, 1.0);
  const Partial ring[] = {{460, 0.35, 0.05}, {1010, 0.18, 0.03}, {1630, 0.08, 0.02}};
  AddClang(b, 0, ring, 1.0);
  AddBandNoise(b, 11, 0, 1800, 0.8, 0.9, [](double t) { return Strike(t, 0.0005, 0.006); });
  return Finish(b, 0.8);
}

// The ball rolling off the fingers: a soft rising whoosh with a flick at its start.
std::vector<std::int16_t> Release() {
  Buffer b(Samples(0.26));
  Noise noise(21);
  Biquad low = Biquad::LowPass(5000, 0.7);
  for (std::size_t i = 0; i < b.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    b[i] = low.Step(noise.Next()) * Hold(t, 0.06, 0.17, 0.26) * 0.08;
  }
  // The band sweeps up as the ball leaves, like air past a quick hand; retuned every 2 ms, the
  // filter keeps its state so the sweep stays smooth.
  Buffer swept(b.size());
  Noise air(22);
  Biquad band = Biquad::BandPass(700, 1.5);
  for (std::size_t i = 0; i < b.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    if (i % 96 == 0) band.Retune(Biquad::BandPass(700 + 2600 * t / 0.26, 1.5));
    swept[i] = band.Step(air.Next()) * Hold(t, 0.07, 0.16, 0.26);
  }
  for (std::size_t i = 0; i < b.size(); ++i)
    b[i] += swept[i];
  AddBandNoise(b, 23, 0.01, 3500, 1.0, 0.9, [](double t) { return Strike(t, 0.001, 0.008); });
  return Finish(b, 0.45);
}

// Through the net: bright noise that swells in and hisses away, rippling as the strings catch
// the ball.
std::vector<std::int16_t> Swish() {
  const double length = 0.5;
  Buffer b(Samples(length));
  auto envelope = [length](double t) {
    const double ripple = 0.75 + 0.25 * std::sin(kTwoPi * 28 * t);
    return Hold(t, 0.05, 0.3, length) * std::exp(-t / 0.25) * ripple;
  };
  AddBandNoise(b, 31, 0, 4200, 0.9, 1.0, envelope);
  AddBandNoise(b, 32, 0, 7000, 1.2, 0.6, envelope);
  AddBandNoise(b, 33, 0.02, 2000, 1.5, 0.35, envelope);
  return Finish(b, 0.7);
}

// The rim's inharmonic partials: a steel ring, struck.
constexpr Partial kRim[] = {{523, 1.0, 0.16},   {1347, 0.7, 0.12}, {1391, 0.45, 0.12},
                            {2281, 0.55, 0.08}, {3170, 0.4, 0.06}, {4410, 0.3, 0.045},
                            {5907, 0.2, 0.03}};

// A miss: the ball hits the rim with a clang and a knock.
std::vector<std::int16_t> Rim() {
  Buffer b(Samples(0.7));
  AddClang(b, 0, kRim, 1.0);
  AddThump(b, 0, 260, 140, 0.01, 0.03, 0.8);
  AddBandNoise(b, 41, 0, 3000, 0.7, 1.5, [](double t) { return Strike(t, 0.0005, 0.01); });
  return Finish(b, 0.75);
}

// A dunk: the ball slammed through and the rim rattling under the hands, with a heavy thump.
std::vector<std::int16_t> Dunk() {
  Buffer b(Samples(0.9));
  AddClang(b, 0, kRim, 1.0);
  // The rim shaking on its spring: the clang again, slightly detuned, and again.
  const Partial rattle[] = {{505, 0.6, 0.2}, {1302, 0.4, 0.15}, {2205, 0.3, 0.1}};
  AddClang(b, 0.06, rattle, 0.8);
  AddClang(b, 0.13, kRim, 0.35);
  AddThump(b, 0, 120, 55, 0.03, 0.14, 2.2);
  AddBandNoise(b, 51, 0, 1500, 0.6, 2.0, [](double t) { return Strike(t, 0.001, 0.025); });
  AddBandNoise(b, 52, 0.02, 4500, 1.0, 0.5, [](double t) { return Strike(t, 0.02, 0.15); });
  return Finish(b, 0.85);
}

// A block: a hand slapping the ball, a hard short crack with a little body under it.
std::vector<std::int16_t> Block() {
  Buffer b(Samples(0.16));
  Noise noise(61);
  Biquad low = Biquad::LowPass(3500, 0.8);
  Biquad high = Biquad::HighPass(300, 0.7);
  for (std::size_t i = 0; i < b.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    b[i] = high.Step(low.Step(noise.Next())) * Strike(t, 0.0005, 0.018) * 1.4;
  }
  AddThump(b, 0, 320, 180, 0.01, 0.03, 0.6);
  return Finish(b, 0.8);
}

// A steal: a sneaker squeaking on the floor as the ball is swiped away.
std::vector<std::int16_t> Steal() {
  const double length = 0.2;
  Buffer b(Samples(length));
  double phase = 0;
  for (std::size_t i = 0; i < b.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double f = 1900 + 700 * (t / length) + 60 * std::sin(kTwoPi * 55 * t);
    phase += kTwoPi * f / kRate;
    // A rubbery tone: the fundamental and a little of its next harmonics.
    const double tone = std::sin(phase) + 0.3 * std::sin(2 * phase) + 0.12 * std::sin(3 * phase);
    b[i] = tone * Hold(t, 0.01, 0.05, 0.13) * 0.5;
  }
  AddBandNoise(b, 71, 0.1, 2500, 0.8, 1.2, [](double t) { return Strike(t, 0.0005, 0.012); });
  return Finish(b, 0.6);
}

// The referee's pea whistle: a shrill tone near 3 kHz, trilled fast by the pea rattling in the
// chamber, with breath around it.
std::vector<std::int16_t> Whistle() {
  const double length = 0.65;
  Buffer b(Samples(length));
  double phase = 0;
  Noise pea(81);
  double trillRate = 32;
  double trillPhase = 0;
  for (std::size_t i = 0; i < b.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    // The pea does not spin quite evenly.
    if (i % 480 == 0) trillRate = 32 + 4 * pea.Next();
    trillPhase += kTwoPi * trillRate / kRate;
    const double trill = std::sin(trillPhase);
    const double f = 3050 + 140 * trill + 60 * std::exp(-t / 0.03);
    phase += kTwoPi * f / kRate;
    const double amplitude = 0.7 + 0.3 * trill;
    const double tone = std::sin(phase) + 0.12 * std::sin(2 * phase);
    b[i] = tone * amplitude * Hold(t, 0.015, 0.06, length);
  }
  AddBandNoise(b, 82, 0, 3050, 4.0, 0.6,
               [length](double t) { return Hold(t, 0.01, 0.08, length); });
  return Finish(b, 0.6);
}

// The end of the game: the buzzer, then the crowd on its feet, cheering in swells.
std::vector<std::int16_t> Win() {
  const double buzz = 0.55;
  const double length = 2.4;
  Buffer b(Samples(length));
  // The buzzer: a harsh square-ish tone, its edges softened.
  Biquad soften = Biquad::LowPass(2500, 0.7);
  for (std::size_t i = 0; i < Samples(buzz); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double square = (std::sin(kTwoPi * 196 * t) > 0 ? 1.0 : -1.0) +
                          0.5 * (std::sin(kTwoPi * 293 * t) > 0 ? 1.0 : -1.0);
    b[i] = soften.Step(square) * Hold(t, 0.005, 0.02, buzz) * 0.35;
  }
  // The crowd: layers of voice-band noise, each swelling on its own slow cycle.
  struct Layer {
    double centre;
    double q;
    double level;
    double swell;
    double offset;
  };
  const Layer crowd[] = {{450, 1.2, 0.8, 1.7, 0.0},
                         {900, 1.5, 1.0, 2.3, 1.1},
                         {1500, 1.8, 0.7, 3.1, 2.0},
                         {2600, 2.0, 0.35, 2.7, 0.4}};
  std::uint64_t seed = 91;
  for (const Layer& layer : crowd) {
    const double start = buzz - 0.05;
    AddBandNoise(b, seed++, start, layer.centre, layer.q, layer.level,
                 [&layer, start, length](double t) {
                   const double swell =
                       0.55 + 0.45 * std::sin(kTwoPi * t / layer.swell * 1.6 + layer.offset);
                   return swell * Hold(t, 0.35, 0.8, length - start);
                 });
  }
  // Whoops from the stands: short rising tones here and there.
  const double whoops[][2] = {{0.9, 620}, {1.25, 780}, {1.5, 540}, {1.8, 700}};
  for (const auto& whoop : whoops) {
    double phase = 0;
    for (std::size_t i = Samples(whoop[0]); i < Samples(whoop[0] + 0.3); ++i) {
      const double t = static_cast<double>(i) / kRate - whoop[0];
      phase += kTwoPi * (whoop[1] + 500 * t) / kRate;
      b[i] += 0.06 * Hold(t, 0.05, 0.15, 0.3) * (std::sin(phase) + 0.4 * std::sin(2 * phase));
    }
  }
  return Finish(b, 0.8);
}

}  // namespace

std::vector<std::int16_t> Make(Sound sound) {
  switch (sound) {
    case Sound::Bounce:
      return Bounce();
    case Sound::Release:
      return Release();
    case Sound::Swish:
      return Swish();
    case Sound::Rim:
      return Rim();
    case Sound::Dunk:
      return Dunk();
    case Sound::Block:
      return Block();
    case Sound::Steal:
      return Steal();
    case Sound::Whistle:
      return Whistle();
    case Sound::Win:
      return Win();
  }
  return {};
}

}  // namespace tandemhoop::sfx
