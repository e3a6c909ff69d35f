#include "tests/support/scripted_random.h"

#include <gtest/gtest.h>

namespace tandemhoop::testing {

ScriptedRandom::~ScriptedRandom() {
  if (!allowUnused_ && next_ != values_.size()) {
    ADD_FAILURE() << "the rules drew " << next_ << " random values, the script has "
                  << values_.size();
  }
}

double ScriptedRandom::Next() {
  if (next_ >= values_.size()) {
    ADD_FAILURE() << "random value number " << next_ + 1 << " was drawn, the script has only "
                  << values_.size();
    ++next_;
    return 0.0;
  }
  return values_[next_++];
}

double RepeatingRandom::Next() {
  const double value = values_.empty() ? 0.0 : values_[drawn_ % values_.size()];
  ++drawn_;
  return value;
}

}  // namespace tandemhoop::testing
