// Range objects: SpecialCells, enumeration and Value over a sheet's sparse cells, and the
// stand-in for a selection that is not a range.

#include <algorithm>

#include "addin/model/errors.h"
#include "addin/model/version_number.h"
#include "hostsim/areas.h"
#include "hostsim/number_formats.h"
#include "hostsim/state.h"
#include "hostsim/typed_dates.h"

namespace morvane::sim {
namespace {

// Excel keeps at most this many characters in a cell.
constexpr std::size_t kMaxCellText = 32767;
// A write of a non-empty value to more cells than this would need more memory than a test
// machine has; Excel itself runs out of memory long before a whole sheet is filled.
constexpr std::int64_t kMaxCellsWritten = std::int64_t{1} << 24;
// The same bound for the values of a block read whole.
constexpr std::int64_t kMaxCellsRead = kMaxCellsWritten;

// The most areas a SpecialCells answer of Excel 2007 and earlier can hold.
constexpr std::size_t kMostAreasFound = 8192;

// Excel 2010 (version 14) lifted the limit; a version that is no number is taken as an old one.
bool FallsBackOnManyAreas(const std::u16string& version) {
  const std::optional<double> number = ReadVersionNumber(version, u'.');
  return !number || *number <= 12.0;
}

class RangeObject : public host::Range {
 public:
  RangeObject(std::shared_ptr<Excel::State> state, std::shared_ptr<SheetData> sheet,
              std::vector<sim::Area> areas)
      : state_(std::move(state)), sheet_(std::move(sheet)), areas_(std::move(areas)) {}

  const std::shared_ptr<SheetData>& sheet() const { return sheet_; }
  const std::vector<sim::Area>& areas() const { return areas_; }

  std::shared_ptr<host::Range> SpecialCells(int type) override {
    state_->Enter("Range.SpecialCells");
    const SheetData& sheet = Live();
    if (type != host::kCellTypeConstants && type != host::kCellTypeFormulas) {
      throw errors::Excel(errors::kSpecialCellsFailed);
    }
    const std::optional<sim::Area> used = sheet.cells.UsedRange();
    if (!used) {
      throw errors::Excel(errors::kNoCellsFound);
    }
    // Excel's one-cell rule: a single cell stands for the sheet from A1 to the used range's
    // last cell.
    std::vector<sim::Area> searched;
    if (areas_.size() == 1 && areas_[0].CellCount() == 1) {
      searched.push_back({1, 1, used->bottom, used->right});
    } else {
      for (const sim::Area& area : areas_) {
        if (const auto clipped = Overlap(area, *used)) {
          searched.push_back(*clipped);
        }
      }
    }
    std::vector<CellKey> found;
    for (const sim::Area& area : searched) {
      sheet.cells.ForEachIn(area, [&](CellKey key, const CellContent& cell) {
        if (type == host::kCellTypeConstants ? IsConstant(cell) : cell.HasFormula()) {
          found.push_back(key);
        }
      });
    }
    if (searched.size() > 1) {
      std::sort(found.begin(), found.end());
      found.erase(std::unique(found.begin(), found.end()), found.end());
    }
    if (found.empty()) {
      throw errors::Excel(errors::kNoCellsFound);
    }
    std::vector<sim::Area> answer = AreasFromCells(found);
    // Excel 2007 and earlier answer a search that finds more areas than this with the range
    // they were asked on, whole, and no error.
    if (answer.size() > kMostAreasFound && FallsBackOnManyAreas(state_->version)) {
      return MakeRange(state_, sheet_, areas_);
    }
    return MakeRange(state_, sheet_, std::move(answer));
  }

  std::unique_ptr<host::CellEnumerator> Cells() override;

  host::CellValue Value() override {
    state_->Enter("Range.Value");
    const CellContent* cell = OnlyCell();
    if (cell == nullptr) {
      return host::Empty{};
    }
    return ValueUnderFormat(cell->value, cell->numberFormat);
  }

  std::u16string NumberFormat() override {
    state_->Enter("Range.NumberFormat");
    const CellContent* cell = OnlyCell();
    return cell == nullptr ? std::u16string(u"General") : cell->numberFormat;
  }

  std::u16string Address() override {
    state_->Enter("Range.Address");
    Live();
    const std::string address = FormatAddress(areas_, true);
    return {address.begin(), address.end()};
  }

  host::CellValues Values() override {
    state_->Enter("Range.Values");
    const SheetData& sheet = Live();
    const sim::Area& first = areas_.front();
    if (first.CellCount() > kMaxCellsRead) {
      throw host::HostError(errors::kOutOfMemory,
                            u"Not enough storage is available to complete this operation.");
    }
    host::CellValues block{first.bottom - first.top + 1, first.right - first.left + 1, {}};
    block.values.resize(static_cast<std::size_t>(first.CellCount()));
    sheet.cells.ForEachIn(first, [&](CellKey key, const CellContent& cell) {
      const auto at = static_cast<std::size_t>(key.row - first.top) * block.columns +
                      static_cast<std::size_t>(key.column - first.left);
      block.values[at] = ValueUnderFormat(cell.value, cell.numberFormat);
    });
    return block;
  }

  std::int32_t AreaCount() override {
    state_->Enter("Range.AreaCount");
    Live();
    return static_cast<std::int32_t>(areas_.size());
  }

  std::shared_ptr<host::Range> Area(std::int32_t index) override {
    state_->Enter("Range.Area");
    Live();
    if (index < 1 || static_cast<std::size_t>(index) > areas_.size()) {
      throw host::HostError(errors::kBadIndex, errors::kBadIndexText);
    }
    return MakeRange(state_, sheet_, {areas_[static_cast<std::size_t>(index) - 1]});
  }

  host::CellBlock Bounds() override {
    state_->Enter("Range.Bounds");
    Live();
    const sim::Area& first = areas_.front();
    return {first.top, first.left, first.bottom - first.top + 1, first.right - first.left + 1};
  }

  void SetValue(const host::CellValue& value) override {
    state_->Enter("Range.SetValue");
    SheetData& sheet = Live();
    const auto* text = std::get_if<std::u16string>(&value);
    if (text != nullptr && text->size() > kMaxCellText) {
      throw errors::Excel(errors::kApplicationDefined);
    }
    const bool clears = std::holds_alternative<host::Empty>(value) || (text && text->empty());
    const int year = CurrentYear();
    bool refused = false;
    // Unlocked cells are written even when the range also holds locked cells of a protected
    // sheet; the refusal comes after them.
    const auto write = [&](CellKey key) {
      CellContent cell = sheet.cells.Get(key);
      if (sheet.isProtected && cell.locked) {
        refused = true;
        return;
      }
      WriteValue(cell, value, year);
      sheet.cells.Set(key, std::move(cell));
    };
    for (const sim::Area& area : areas_) {
      if (clears) {
        // Clearing leaves untouched cells untouched: only stored cells need the write.
        std::vector<CellKey> stored;
        sheet.cells.ForEachIn(area,
                              [&](CellKey key, const CellContent&) { stored.push_back(key); });
        if (sheet.isProtected && static_cast<std::int64_t>(stored.size()) < area.CellCount()) {
          refused = true;  // untouched cells are locked
        }
        std::for_each(stored.begin(), stored.end(), write);
        continue;
      }
      if (area.CellCount() > kMaxCellsWritten) {
        throw host::HostError(errors::kOutOfMemory,
                              u"Not enough storage is available to complete this operation.");
      }
      for (std::int32_t row = area.top; row <= area.bottom; ++row) {
        for (std::int32_t column = area.left; column <= area.right; ++column) {
          write({row, column});
        }
      }
    }
    if (refused) {
      throw errors::Excel(errors::kProtectedCell);
    }
  }

 private:
  // The stored cell of a one-cell range (nullptr when untouched). Over several cells Excel gives
  // a 2-D array for Value and Null for mixed formats, which the model's one-cell members cannot
  // hold: a caller reading one value meets a type mismatch.
  const CellContent* OnlyCell() const {
    const SheetData& sheet = Live();
    if (areas_.front().CellCount() != 1) {
      throw errors::TypeMismatch();
    }
    return sheet.cells.Find({areas_.front().top, areas_.front().left});
  }

  SheetData& Live() const {
    if (!sheet_->alive) {
      throw errors::Disconnected();
    }
    return *sheet_;
  }

  std::shared_ptr<Excel::State> state_;
  std::shared_ptr<SheetData> sheet_;
  std::vector<sim::Area> areas_;
};

// Areas in order, each row by row and left to right within a row.
class AreaEnumerator : public host::CellEnumerator {
 public:
  AreaEnumerator(std::shared_ptr<Excel::State> state, std::shared_ptr<SheetData> sheet,
                 std::vector<Area> areas)
      : state_(std::move(state)), sheet_(std::move(sheet)), areas_(std::move(areas)) {
    if (!areas_.empty()) {
      next_ = {areas_[0].top, areas_[0].left};
    }
  }

  std::shared_ptr<host::Range> Next() override {
    state_->Enter("CellEnumerator.Next");
    if (!sheet_->alive) {
      throw errors::Disconnected();
    }
    if (area_ >= areas_.size()) {
      return nullptr;
    }
    const CellKey cell = next_;
    Advance();
    return MakeRange(state_, sheet_, {AreaOf(cell)});
  }

 private:
  void Advance() {
    const Area& area = areas_[area_];
    if (next_.column < area.right) {
      ++next_.column;
    } else if (next_.row < area.bottom) {
      next_ = {next_.row + 1, area.left};
    } else if (++area_ < areas_.size()) {
      next_ = {areas_[area_].top, areas_[area_].left};
    }
  }

  std::shared_ptr<Excel::State> state_;
  std::shared_ptr<SheetData> sheet_;
  std::vector<Area> areas_;
  std::size_t area_ = 0;
  CellKey next_;
};

std::unique_ptr<host::CellEnumerator> RangeObject::Cells() {
  state_->Enter("Range.Cells");
  Live();
  return std::make_unique<AreaEnumerator>(state_, sheet_, areas_);
}

// What Selection gives when a drawing object is selected: late binding finds none of Range's
// members on it.
class ShapeSelection : public host::Range {
 public:
  explicit ShapeSelection(std::shared_ptr<Excel::State> state) : state_(std::move(state)) {}

  std::shared_ptr<host::Range> SpecialCells(int) override {
    state_->Enter("Range.SpecialCells");
    throw errors::NoSuchMember();
  }
  std::unique_ptr<host::CellEnumerator> Cells() override {
    state_->Enter("Range.Cells");
    throw errors::NoSuchMember();
  }
  host::CellValue Value() override {
    state_->Enter("Range.Value");
    throw errors::NoSuchMember();
  }
  void SetValue(const host::CellValue&) override {
    state_->Enter("Range.SetValue");
    throw errors::NoSuchMember();
  }
  std::u16string NumberFormat() override {
    state_->Enter("Range.NumberFormat");
    throw errors::NoSuchMember();
  }
  std::u16string Address() override {
    state_->Enter("Range.Address");
    throw errors::NoSuchMember();
  }
  host::CellValues Values() override {
    state_->Enter("Range.Values");
    throw errors::NoSuchMember();
  }
  std::int32_t AreaCount() override {
    state_->Enter("Range.AreaCount");
    throw errors::NoSuchMember();
  }
  std::shared_ptr<host::Range> Area(std::int32_t) override {
    state_->Enter("Range.Area");
    throw errors::NoSuchMember();
  }
  host::CellBlock Bounds() override {
    state_->Enter("Range.Bounds");
    throw errors::NoSuchMember();
  }

 private:
  std::shared_ptr<Excel::State> state_;
};

}  // namespace

std::shared_ptr<host::Range> MakeRange(std::shared_ptr<Excel::State> state,
                                       std::shared_ptr<SheetData> sheet, std::vector<Area> areas) {
  return std::make_shared<RangeObject>(std::move(state), std::move(sheet), std::move(areas));
}

std::shared_ptr<host::Range> MakeShapeSelection(std::shared_ptr<Excel::State> state) {
  return std::make_shared<ShapeSelection>(std::move(state));
}

std::optional<RangeParts> PartsOf(const std::shared_ptr<host::Range>& range) {
  const auto* ours = dynamic_cast<const RangeObject*>(range.get());
  if (ours == nullptr) {
    return std::nullopt;
  }
  return RangeParts{ours->sheet(), ours->areas()};
}

}  // namespace morvane::sim
