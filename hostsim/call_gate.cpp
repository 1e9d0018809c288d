// Counting and fault injection: the gate every host call passes before it acts.

#include <stdexcept>

#include "hostsim/sheet_names.h"
#include "hostsim/state.h"

namespace morvane::sim {

void Excel::State::Enter(const char* member) {
  ++calls[member];
  ++totalCalls;
  if (nthCallFault && nthCallFault->first == totalCalls) {
    throw nthCallFault->second;
  }
  if (goneFromCall && totalCalls >= goneFromCall->first) {
    throw goneFromCall->second;
  }
  const auto fault = memberFaults.find(member);
  if (fault != memberFaults.end()) {
    throw fault->second;
  }
}

Workbook& Excel::State::ActiveWorkbookOrThrow() const {
  if (!activeWorkbook) {
    throw std::out_of_range("no workbook is open");
  }
  return *activeWorkbook;
}

std::shared_ptr<SheetData> Excel::State::SheetOrThrow(const std::u16string& name) const {
  for (const auto& sheet : ActiveWorkbookOrThrow().sheets) {
    if (SameSheetName(sheet->name, name)) {
      return sheet;
    }
  }
  throw std::out_of_range("no such sheet in the active workbook");
}

void Excel::FailMember(const std::string& member, host::HostError error) {
  state_->memberFaults.insert_or_assign(member, std::move(error));
}

void Excel::FailNthCall(long long k, host::HostError error) {
  state_->nthCallFault.emplace(k, std::move(error));
}

void Excel::FailCallsFrom(long long k, host::HostError error) {
  state_->goneFromCall.emplace(k, std::move(error));
}

void Excel::ClearFaults() {
  state_->memberFaults.clear();
  state_->nthCallFault.reset();
  state_->goneFromCall.reset();
}

long long Excel::CallCount(const std::string& member) const {
  const auto it = state_->calls.find(member);
  return it == state_->calls.end() ? 0 : it->second;
}

long long Excel::TotalCalls() const {
  return state_->totalCalls;
}

void Excel::ResetCounters() {
  state_->calls.clear();
  state_->totalCalls = 0;
}

}  // namespace morvane::sim
