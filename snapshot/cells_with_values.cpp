#include "snapshot/cells_with_values.h"

#include <utility>

#include "addin/model/errors.h"

namespace morvane {
namespace {

class SingleRange final : public RangeSource {
 public:
  explicit SingleRange(std::shared_ptr<host::Range> range) : range_(std::move(range)) {}
  std::shared_ptr<host::Range> Next() override { return std::exchange(range_, nullptr); }

 private:
  std::shared_ptr<host::Range> range_;
};

std::size_t CellCount(const host::CellBlock& block) {
  return static_cast<std::size_t>(block.rows) * static_cast<std::size_t>(block.columns);
}

// One read of a band's values. A host that answers with a block of another size has not said
// which value is whose, so none of them is taken.
host::CellValues ValuesOf(host::Range& range, const host::CellBlock& band) {
  host::CellValues values = range.Values();
  if (values.rows != band.rows || values.columns != band.columns ||
      values.values.size() != CellCount(band)) {
    throw host::HostError(errors::kTypeMismatch,
                          u"The host answered a block read with a block of another size.");
  }
  return values;
}

}  // namespace

std::unique_ptr<RangeSource> OneRange(std::shared_ptr<host::Range> range) {
  return std::make_unique<SingleRange>(std::move(range));
}

const host::CellValue& ReadValue::Get() const {
  if (refusal_) {
    throw *refusal_;
  }
  return value_;
}

ReadValue CellsWithValues::Band::Take(std::size_t at) {
  if (refusal) {
    return ReadValue(*refusal);
  }
  return ReadValue(std::move(values.values[at]));
}

CellsWithValues::CellsWithValues(std::shared_ptr<host::Application> app,
                                 std::shared_ptr<host::Sheet> sheet,
                                 std::unique_ptr<RangeSource> ranges,
                                 std::shared_ptr<host::Sheet> counterpart)
    : app_(std::move(app)),
      sheet_(std::move(sheet)),
      ranges_(std::move(ranges)),
      counterpart_(std::move(counterpart)) {}

std::optional<CellRead> CellsWithValues::Next() {
  for (;;) {
    if (range_) {
      if (auto read = byCell_ ? NextByCell() : NextByBand()) {
        return read;
      }
      range_.reset();
    }
    if (!StartRange()) {
      return std::nullopt;
    }
  }
}

// Decides how a range's values are read, from how many cells and areas it has.
bool CellsWithValues::StartRange() {
  range_ = ranges_->Next();
  if (!range_) {
    return false;
  }
  const double cells = app_->CountA(range_);
  areaCount_ = range_->AreaCount();
  byCell_ =
      !(areaCount_ > 0 && static_cast<double>(areaCount_) * kFewestCellsPerBandedArea <= cells);
  nextArea_ = 1;
  bands_.reset();
  bandCells_ = nextInBand_ = 0;
  cells_ = byCell_ ? range_->Cells() : nullptr;
  return true;
}

std::optional<CellRead> CellsWithValues::NextByCell() {
  auto cell = cells_->Next();
  if (!cell) {
    return std::nullopt;
  }
  CellRead read{cell, {}, std::nullopt};
  try {
    read.value = ReadValue(cell->Value());
  } catch (const host::HostError& refusal) {
    read.value = ReadValue(refusal);
  }
  return read;
}

bool CellsWithValues::StartArea() {
  if (nextArea_ > areaCount_) {
    return false;
  }
  area_ = range_->Area(nextArea_++);
  areaBounds_ = area_->Bounds();
  cells_ = area_->Cells();
  bands_.emplace(std::vector<host::CellBlock>{areaBounds_}, kCellsPerValueBand);
  bandCells_ = nextInBand_ = 0;
  return true;
}

void CellsWithValues::StartBand(const host::CellBlock& band) {
  const auto read = [&band](host::Sheet& sheet, const std::shared_ptr<host::Range>& whole) {
    Band values;
    try {
      values.values = ValuesOf(whole ? *whole : *sheet.Range(BlockAddress(band)), band);
    } catch (const host::HostError& refusal) {
      values.refusal = refusal;
    }
    return values;
  };
  // An area that is one band is read as it is, without finding its address again.
  band_ = read(*sheet_, band == areaBounds_ ? area_ : nullptr);
  if (counterpart_) {
    bandCounterpart_ = read(*counterpart_, nullptr);
  }
  bandCells_ = CellCount(band);
  nextInBand_ = 0;
}

// Within an area, the bands follow the cells in row-major order, as the area enumerates them.
std::optional<CellRead> CellsWithValues::NextByBand() {
  for (;;) {
    if (nextInBand_ < bandCells_) {
      auto cell = cells_->Next();
      if (!cell) {
        throw host::HostError(errors::kFail,
                              u"The host enumerated fewer cells than the area holds.");
      }
      CellRead read{std::move(cell), band_.Take(nextInBand_), std::nullopt};
      if (bandCounterpart_) {
        read.counterpart = bandCounterpart_->Take(nextInBand_);
      }
      ++nextInBand_;
      return read;
    }
    if (bands_) {
      if (const std::optional<host::CellBlock> band = bands_->Next()) {
        StartBand(*band);
        continue;
      }
      bands_.reset();
    }
    if (!StartArea()) {
      return std::nullopt;
    }
  }
}

host::CellValue CellsWithValues::Counterpart(const CellRead& read) {
  if (read.counterpart) {
    return read.counterpart->Get();
  }
  return counterpart_->Range(read.cell->Address())->Value();
}

}  // namespace morvane
