#include "sound/wav.h"

#include <cstring>

namespace tandemhoop {

namespace {

std::uint32_t Read32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t Read16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

bool Is(const std::uint8_t* p, const char* tag) {
  return std::memcmp(p, tag, 4) == 0;
}

std::optional<std::vector<std::int16_t>> Refuse(std::string* error, const char* reason) {
  if (error != nullptr) *error = reason;
  return std::nullopt;
}

}  // namespace

std::optional<std::vector<std::int16_t>> DecodeWav(std::span<const std::uint8_t> file,
                                                   std::string* error) {
  const std::size_t size = file.size();
  if (size < 12 || !Is(file.data(), "RIFF") || !Is(file.data() + 8, "WAVE")) {
    return Refuse(error, "not a RIFF WAVE file");
  }
  const std::uint64_t riffEnd = 8 + static_cast<std::uint64_t>(Read32(file.data() + 4));
  if (riffEnd > size) return Refuse(error, "the file is shorter than its header says");

  bool haveFormat = false;
  std::size_t at = 12;
  while (at + 8 <= riffEnd) {
    const std::uint8_t* chunk = file.data() + at;
    const std::uint64_t length = Read32(chunk + 4);
    const std::uint64_t body = at + 8;
    if (body + length > riffEnd) return Refuse(error, "a chunk runs past the end of the file");
    if (Is(chunk, "fmt ")) {
      if (length < 16) return Refuse(error, "the format chunk is too short");
      const std::uint8_t* f = file.data() + body;
      if (Read16(f) != 1) return Refuse(error, "not PCM");
      if (Read16(f + 2) != 1) return Refuse(error, "not mono");
      if (Read32(f + 4) != kWavRate) return Refuse(error, "not 48 kHz");
      if (Read32(f + 8) != kWavRate * 2 || Read16(f + 12) != 2) {
        return Refuse(error, "the byte rate or block size does not match");
      }
      if (Read16(f + 14) != 16) return Refuse(error, "not 16 bits a sample");
      haveFormat = true;
    } else if (Is(chunk, "data")) {
      if (!haveFormat) return Refuse(error, "the data comes before the format");
      if (length % 2 != 0) return Refuse(error, "the data is not whole samples");
      std::vector<std::int16_t> samples(static_cast<std::size_t>(length / 2));
      const std::uint8_t* d = file.data() + body;
      for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(Read16(d + 2 * i));
      }
      return samples;
    }
    // Chunks are padded to an even length.
    at = static_cast<std::size_t>(body + length + (length & 1));
  }
  return Refuse(error, haveFormat ? "no data chunk" : "no format chunk");
}

std::vector<std::uint8_t> EncodeWav(std::span<const std::int16_t> samples) {
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  std::vector<std::uint8_t> out(44 + static_cast<std::size_t>(dataBytes));
  std::uint8_t* p = out.data();
  auto tag = [&p](const char* text) {
    std::memcpy(p, text, 4);
    p += 4;
  };
  auto put32 = [&p](std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
      *p++ = static_cast<std::uint8_t>(value >> (8 * i));
  };
  auto put16 = [&p](std::uint16_t value) {
    *p++ = static_cast<std::uint8_t>(value);
    *p++ = static_cast<std::uint8_t>(value >> 8);
  };
  tag("RIFF");
  put32(36 + dataBytes);
  tag("WAVE");
  tag("fmt ");
  put32(16);
  put16(1);  // PCM
  put16(1);  // mono
  put32(kWavRate);
  put32(kWavRate * 2);
  put16(2);
  put16(16);
  tag("data");
  put32(dataBytes);
  for (const std::int16_t sample : samples)
    put16(static_cast<std::uint16_t>(sample));
  return out;
}

std::string_view SoundFileName(Sound sound) {
  switch (sound) {
    case Sound::Bounce:
      return "bounce.wav";
    case Sound::Release:
      return "release.wav";
    case Sound::Swish:
      return "swish.wav";
    case Sound::Rim:
      return "rim.wav";
    case Sound::Dunk:
      return "dunk.wav";
    case Sound::Block:
      return "block.wav";
    case Sound::Steal:
      return "steal.wav";
    case Sound::Whistle:
      return "whistle.wav";
    case Sound::Win:
      return "win.wav";
  }
  return "";
}

}  // namespace tandemhoop
