#pragma once

// Steps that each come with the step that takes them back. When a later step fails, the ones
// already done are taken back in reverse order, so an operation that renames and hides sheets
// either completes or leaves the workbook as it found it.

#include <functional>
#include <utility>
#include <vector>

#include "addin/model/continue_on_error.h"

namespace morvane {

class ReversibleSteps {
 public:
  template <class Step, class Reverse>
  void Run(Step&& step, Reverse&& reverse) {
    step();
    reversals_.emplace_back(std::forward<Reverse>(reverse));
  }

  // Takes back every step done so far, the last one first; a reversal that fails is skipped.
  void TakeBack() noexcept {
    for (auto reversal = reversals_.rbegin(); reversal != reversals_.rend(); ++reversal) {
      RunStep(*reversal);
    }
    reversals_.clear();
  }

 private:
  std::vector<std::function<void()>> reversals_;
};

}  // namespace morvane
