#include "net/room.h"

namespace tandemhoop::net {

namespace {

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool InAlphabet(char c) {
  return kRoomCodeAlphabet.find(c) != std::string_view::npos;
}

}  // namespace

bool IsRoomCode(const RoomCode& code) {
  for (const char c : code) {
    if (!InAlphabet(c)) return false;
  }
  return true;
}

RoomCode MakeRoomCode(std::uint64_t randomBits) {
  RoomCode code{};
  for (char& c : code) {
    c = kRoomCodeAlphabet[randomBits % kRoomCodeAlphabet.size()];
    randomBits /= kRoomCodeAlphabet.size();
  }
  return code;
}

bool ParseRoomCode(std::string_view typed, RoomCode& code) {
  // A pasted code may come with a space or a line end around it.
  if (typed.size() > 32) return false;
  RoomCode read{};
  std::size_t length = 0;
  for (const char c : typed) {
    if (c == ' ' || c == '-' || c == '\t' || c == '\r' || c == '\n') continue;
    const char upper = Upper(c);
    if (length == read.size() || !InAlphabet(upper)) return false;
    read[length++] = upper;
  }
  if (length != read.size()) return false;
  code = read;
  return true;
}

std::string_view CodeText(const RoomCode& code) {
  return {code.data(), code.size()};
}

}  // namespace tandemhoop::net
