#pragma once

#include <cstddef>
#include <initializer_list>
#include <vector>

#include "game/platform.h"

namespace tandemhoop::testing {

// Plays back a script of random values. A draw past the end of the script fails the test, and
// so does a script left unfinished when the source goes out of scope: a rule that draws more or
// fewer values than it should is caught either way.
class ScriptedRandom : public RandomSource {
 public:
  ScriptedRandom() = default;
  ScriptedRandom(std::initializer_list<double> values) : values_(values) {}
  ~ScriptedRandom() override;

  double Next() override;
  void Push(std::initializer_list<double> values) { values_.insert(values_.end(), values); }
  void Push(double value) { values_.push_back(value); }
  std::size_t Drawn() const { return next_; }
  std::size_t Remaining() const { return values_.size() - next_; }
  // Stop checking at the end of the scope (for tests that look at something else).
  void AllowUnused() { allowUnused_ = true; }

 private:
  std::vector<double> values_;
  std::size_t next_ = 0;
  bool allowUnused_ = false;
};

// Cycles through its values forever: for long scripted games where only the outcome matters.
class RepeatingRandom : public RandomSource {
 public:
  RepeatingRandom(std::initializer_list<double> values) : values_(values) {}
  double Next() override;
  std::size_t Drawn() const { return drawn_; }

 private:
  std::vector<double> values_;
  std::size_t drawn_ = 0;
};

}  // namespace tandemhoop::testing
