#include "tests/support/fake_platform.h"

#include <algorithm>

namespace tandemhoop::testing {

namespace {
const char* OpName(RasterOp op) {
  switch (op) {
    case RasterOp::SrcCopy:
      return "copy";
    case RasterOp::SrcAnd:
      return "and";
    case RasterOp::SrcPaint:
      return "paint";
  }
  return "?";
}
}  // namespace

std::int32_t FakePlatform::BitBlt(int x, int y, int width, int height, PictureRef source,
                                  RasterOp op) {
  copies.push_back({x, y, width, height, source, op});
  events.push_back("blit " + std::to_string(static_cast<int>(source.form)) + ":" +
                   std::to_string(source.index) + " " + OpName(op) + " " + std::to_string(x) + "," +
                   std::to_string(y));
  const bool isMissing = std::any_of(missing.begin(), missing.end(), [&](PictureRef m) {
    return m.form == source.form && m.index == source.index;
  });
  return isMissing ? 0 : 1;
}

void FakePlatform::SetTextPosition(int x, int y) {
  textX = x;
  textY = y;
  events.push_back("text " + std::to_string(x) + "," + std::to_string(y));
}

void FakePlatform::Print(std::string_view line) {
  prints.emplace_back(line);
  events.push_back("print " + std::string(line));
}

void FakePlatform::SetTimerEnabled(bool enabled) {
  timerEnabled = enabled;
  events.push_back(enabled ? "timer on" : "timer off");
}

void FakePlatform::CentreCourtWindow() {
  ++centred;
  events.push_back("centre");
}

void FakePlatform::ShowSelectionScreen() {
  ++selectionShown;
  events.push_back("select");
  if (onShowSelection) onShowSelection();
}

void FakePlatform::ShowMessage(std::string_view text) {
  messages.emplace_back(text);
  events.push_back("message " + std::string(text));
  if (onMessage) onMessage(std::string(text));
}

bool FakePlatform::AskYesNo(std::string_view text) {
  questions.emplace_back(text);
  events.push_back("ask " + std::string(text));
  bool answer = false;
  if (!answers.empty()) {
    answer = answers.front();
    answers.pop_front();
  }
  return answer;
}

void FakePlatform::EndProgram() {
  ++ended;
  events.push_back("end");
}

std::vector<FakePlatform::Copy> FakePlatform::SpriteCopies() const {
  std::vector<Copy> result;
  for (const Copy& copy : copies) {
    if (copy.source.form == Holder::Form2) result.push_back(copy);
  }
  return result;
}

void FakePlatform::Clear() {
  events.clear();
  copies.clear();
  prints.clear();
  messages.clear();
  questions.clear();
  sounds.clear();
}

}  // namespace tandemhoop::testing
