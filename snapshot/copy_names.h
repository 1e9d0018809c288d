#pragma once

// How the store names the hidden copies of a working sheet: the sheet's name first, then the
// suffix, nothing in between. The store compares names exactly, letter case included, although
// Excel itself treats sheet names without regard to case.

#include <string>

namespace morvane {

inline std::u16string UndoCopyName(const std::u16string& sheetName) {
  return sheetName + u"_Undo";
}

inline std::u16string RedoCopyName(const std::u16string& sheetName) {
  return sheetName + u"_Redo";
}

}  // namespace morvane
