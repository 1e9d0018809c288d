#pragma once

// Walking the cells of ranges in the host's order, each with its value. Every call into the host
// crosses into Excel, so where a range's cells lie in few areas the values are read a band of
// rows at a time, one call for many cells; where they are scattered over many small areas, that
// would cost more than it saves, and each cell's value is read on its own.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "addin/model/host.h"
#include "snapshot/cell_blocks.h"

namespace morvane {

// The most cells one band's values are read for: a band's array stays well under a megabyte.
inline constexpr std::int32_t kCellsPerValueBand = 8192;
// Reading an area by bands costs a few calls of its own (the area, its bounds, its enumeration);
// it pays only where the areas hold this many cells on average.
inline constexpr std::int32_t kFewestCellsPerBandedArea = 16;

// Ranges of cells one after another.
class RangeSource {
 public:
  virtual ~RangeSource() = default;
  // The next range, or nullptr after the last. A failed host call goes to the caller.
  virtual std::shared_ptr<host::Range> Next() = 0;
};

// The one range given (none when it is nullptr).
std::unique_ptr<RangeSource> OneRange(std::shared_ptr<host::Range> range);

// A value as read, or the failure of its read.
class ReadValue {
 public:
  ReadValue() = default;
  explicit ReadValue(host::CellValue value) : value_(std::move(value)) {}
  explicit ReadValue(const host::HostError& refusal) : refusal_(refusal) {}
  // The value; a failed read throws the host's refusal of it.
  const host::CellValue& Get() const;

 private:
  host::CellValue value_;
  std::optional<host::HostError> refusal_;
};

struct CellRead {
  std::shared_ptr<host::Range> cell;  // the cell, a one-cell range, for writing
  ReadValue value;
  // The value at the same place on the counterpart sheet, where it was read with the band.
  std::optional<ReadValue> counterpart;
};

class CellsWithValues {
 public:
  // The cells of `ranges`, which lie on `sheet`. With a `counterpart` sheet, the value at the
  // same place there is read too (undo's copy), in the same bands.
  CellsWithValues(std::shared_ptr<host::Application> app, std::shared_ptr<host::Sheet> sheet,
                  std::unique_ptr<RangeSource> ranges,
                  std::shared_ptr<host::Sheet> counterpart = nullptr);

  // The next cell in the host's order, or nothing after the last. A read that failed is in the
  // cell's ReadValue, and every cell of a band whose read failed carries that failure; a failure
  // to reach the cells themselves (the ranges, an area, its enumeration) throws, and the walk
  // cannot go on. An area whose enumeration ends before its last cell throws too.
  std::optional<CellRead> Next();

  // The value at the cell's place on the counterpart sheet: from its band, or read on its own.
  host::CellValue Counterpart(const CellRead& read);

 private:
  bool StartRange();
  bool StartArea();
  void StartBand(const host::CellBlock& band);
  std::optional<CellRead> NextByCell();
  std::optional<CellRead> NextByBand();

  std::shared_ptr<host::Application> app_;
  std::shared_ptr<host::Sheet> sheet_;
  std::unique_ptr<RangeSource> ranges_;
  std::shared_ptr<host::Sheet> counterpart_;

  std::shared_ptr<host::Range> range_;
  bool byCell_ = false;
  std::int32_t areaCount_ = 0;
  std::int32_t nextArea_ = 1;
  std::unique_ptr<host::CellEnumerator> cells_;

  // The area being read by bands, and its band.
  std::shared_ptr<host::Range> area_;
  host::CellBlock areaBounds_;
  std::optional<Blocks> bands_;
  struct Band {
    host::CellValues values;
    std::optional<host::HostError> refusal;
    ReadValue Take(std::size_t at);
  };
  Band band_;
  std::optional<Band> bandCounterpart_;
  std::size_t bandCells_ = 0;
  std::size_t nextInBand_ = 0;
};

}  // namespace morvane
