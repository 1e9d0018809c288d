#include "hostsim/sheet_references.h"

#include <vector>

#include "hostsim/sheet_names.h"

namespace morvane::sim {
namespace {

bool IsAsciiLetter(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}
bool IsAsciiDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

// Characters of a sheet name written without quotes.
bool IsBareNameChar(char16_t c) {
  return IsAsciiLetter(c) || IsAsciiDigit(c) || c == u'_' || c == u'.' || c >= 0x80;
}

// "A1", "XFD1048576": a bare name like these would read as a cell, so Excel quotes it.
bool LooksLikeCell(const std::u16string& name) {
  std::size_t letters = 0;
  while (letters < name.size() && IsAsciiLetter(name[letters])) {
    ++letters;
  }
  if (letters == 0 || letters > 3 || letters == name.size()) {
    return false;
  }
  for (std::size_t i = letters; i < name.size(); ++i) {
    if (!IsAsciiDigit(name[i])) {
      return false;
    }
  }
  return true;
}

// The sheet name as a formula writes it before "!": bare when it can be, else in apostrophes
// with inner apostrophes doubled.
std::u16string Written(const std::u16string& name) {
  bool bare = !name.empty() && !IsAsciiDigit(name.front()) && !LooksLikeCell(name);
  for (const char16_t c : name) {
    bare = bare && IsBareNameChar(c);
  }
  if (bare) {
    return name;
  }
  std::u16string quoted = u"'";
  for (const char16_t c : name) {
    quoted += c;
    if (c == u'\'') {
      quoted += u'\'';
    }
  }
  return quoted + u"'";
}

// The name quoted from the quote at i ('' inside it is one quote); end is set past its close.
std::u16string QuotedName(const std::u16string& formula, std::size_t i, std::size_t& end) {
  std::u16string name;
  for (end = i + 1; end < formula.size(); ++end) {
    if (formula[end] == u'\'') {
      if (end + 1 >= formula.size() || formula[end + 1] != u'\'') {
        break;
      }
      ++end;
    }
    name += formula[end];
  }
  end = std::min(end + 1, formula.size());
  return name;
}

}  // namespace

std::u16string RetargetReferences(const std::u16string& formula, const std::u16string& from,
                                  const std::u16string& to) {
  const std::u16string target = to.empty() ? u"#REF" : Written(to);
  std::u16string out;
  bool otherWorkbook = false;  // the next name belongs to "[Book]"
  std::size_t i = 0;
  while (i < formula.size()) {
    const char16_t c = formula[i];
    if (c == u'"') {  // a string literal, "" inside it
      std::size_t end = i + 1;
      while (end < formula.size() &&
             !(formula[end] == u'"' && (end + 1 >= formula.size() || formula[end + 1] != u'"'))) {
        end += formula[end] == u'"' ? 2 : 1;
      }
      end = std::min(end + 1, formula.size());
      out.append(formula, i, end - i);
      i = end;
      continue;
    }
    if (c == u'[') {
      const std::size_t close = formula.find(u']', i);
      const std::size_t end = close == std::u16string::npos ? formula.size() : close + 1;
      out.append(formula, i, end - i);
      i = end;
      otherWorkbook = true;
      continue;
    }
    std::u16string name;
    std::size_t end = i;
    if (c == u'\'') {
      name = QuotedName(formula, i, end);
    } else if (IsBareNameChar(c)) {
      while (end < formula.size() && IsBareNameChar(formula[end])) {
        ++end;
      }
      name = formula.substr(i, end - i);
    } else {
      out += c;
      ++i;
      otherWorkbook = false;
      continue;
    }
    const bool isSheet = end < formula.size() && formula[end] == u'!';
    if (isSheet && !otherWorkbook && SameSheetName(name, from)) {
      out += target;
    } else {
      out.append(formula, i, end - i);
    }
    otherWorkbook = false;
    i = end;
  }
  return out;
}

void RetargetFormulas(SheetData& sheet, const std::u16string& from, const std::u16string& to) {
  std::vector<std::pair<CellKey, CellContent>> changed;
  for (const auto& [key, cell] : sheet.cells.All()) {
    if (cell.HasFormula()) {
      std::u16string formula = RetargetReferences(cell.formula, from, to);
      if (formula != cell.formula) {
        CellContent updated = cell;
        updated.formula = std::move(formula);
        changed.emplace_back(key, std::move(updated));
      }
    }
  }
  for (auto& [key, cell] : changed) {
    sheet.cells.Set(key, std::move(cell));
  }
}

}  // namespace morvane::sim
