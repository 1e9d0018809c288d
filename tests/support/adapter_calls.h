#pragma once

// The host calls the simulated Excel counted, as the Excel adapter makes them (IDispatch calls):
// the simulator counts every member call once, where the adapter fetches 64 cells per
// IEnumVARIANT::Next, reads Bounds through six calls (Row, Column, Rows, Count, Columns, Count)
// and AreaCount through two (Areas, Count; the Areas object then serves every Area).

#include "hostsim/excel.h"

namespace morvane::fakes {

inline double AdapterCalls(const sim::Excel& excel) {
  const auto next = static_cast<double>(excel.CallCount("CellEnumerator.Next"));
  return static_cast<double>(excel.TotalCalls()) - next + next / 64 +
         5.0 * static_cast<double>(excel.CallCount("Range.Bounds")) +
         static_cast<double>(excel.CallCount("Range.AreaCount"));
}

}  // namespace morvane::fakes
