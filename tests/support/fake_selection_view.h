#pragma once

#include <string>
#include <string_view>

#include "screens/selection.h"

namespace tandemhoop::testing {

// The selection screen's two boxes and its visibility, as plain fields.
class FakeSelectionView : public SelectionView {
 public:
  std::string text1;
  std::string text2;
  int hidden = 0;
  void SetText1(std::string_view text) override { text1 = text; }
  void SetText2(std::string_view text) override { text2 = text; }
  void HideScreen() override { ++hidden; }
};

}  // namespace tandemhoop::testing
