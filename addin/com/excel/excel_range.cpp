// Range over Excel's Range dispinterface, and the enumeration of its cells.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "addin/com/excel/adapters.h"
#include "addin/com/excel/cell_variant.h"
#include "addin/com/excel/host_error_from_com.h"
#include "addin/com/excel/result_values.h"

namespace morvane::com {
namespace {

// Cells fetched per IEnumVARIANT::Next: the call's cost is shared by this many cells.
constexpr ULONG kCellsPerFetch = 64;

// COM's binary layout: an interface pointer points at its vtable pointer, and every object of
// one implementation shares that vtable.
const void* VtableOf(IDispatch* object) {
  return *reinterpret_cast<const void* const*>(object);
}

class ExcelCellEnumerator final : public host::CellEnumerator {
 public:
  ExcelCellEnumerator(ComPtr<IEnumVARIANT> cells, std::shared_ptr<TypeCatalog> catalog)
      : cells_(std::move(cells)), catalog_(std::move(catalog)) {}

  std::shared_ptr<host::Range> Next() override {
    if (next_ == fetched_ && !Fetch()) {
      return nullptr;
    }
    Variant item = std::move(batch_[next_++]);
    ComPtr<IDispatch> cell = ObjectOf(std::move(item), u"_NewEnum");
    if (!cell) {
      ThrowObjectNotSet();
    }
    std::shared_ptr<TypeSlot> slot = SlotFor(cell.get());
    return MakeRange(DispatchObject(std::move(cell), catalog_, std::move(slot)));
  }

 private:
  // IEnumVARIANT::Next may hand out fewer elements than asked for, with S_OK or S_FALSE, long
  // before the end: S_FALSE says "fewer than asked", not "no more". Only a batch of none ends
  // the enumeration. An enumerator that takes one element per call (E_INVALIDARG for more) is
  // asked one at a time from then on.
  bool Fetch() {
    next_ = fetched_ = 0;
    while (!finished_) {
      const ULONG asked = oneAtATime_ ? 1 : kCellsPerFetch;
      // A count the enumerator leaves unwritten stays above asked, and so does a count it could
      // not have filled; then the elements it did fill are what it handed over.
      ULONG count = asked + 1;
      const HRESULT hr = cells_->Next(asked, batch_[0].get(), &count);
      if (FAILED(hr)) {
        ForgetFrom(0);  // a failed call hands over nothing, whatever it wrote
        if (hr == E_INVALIDARG && asked > 1) {
          oneAtATime_ = true;
          continue;
        }
        finished_ = true;
        throw HostErrorFromHResult(hr, u"_NewEnum");
      }
      fetched_ = count <= asked ? count : FilledCount(asked);
      ForgetFrom(fetched_);
      finished_ = fetched_ == 0;
      return !finished_;
    }
    return false;
  }

  std::size_t FilledCount(ULONG asked) const {
    std::size_t filled = 0;
    while (filled < asked && batch_[filled].vt() != VT_EMPTY) {
      ++filled;
    }
    return filled;
  }

  // What the enumerator wrote beyond what it handed over is not ours to release; the slots are
  // made empty for the next call, which writes into them without clearing them.
  void ForgetFrom(std::size_t first) {
    for (std::size_t i = first; i < batch_.size(); ++i) {
      if (batch_[i].vt() != VT_EMPTY) {
        static_cast<void>(batch_[i].release());
      }
    }
  }

  // The cells of a Range are Ranges: one type, asked for once. A cell of another
  // implementation (not expected from Excel) gets its type on its own.
  std::shared_ptr<TypeSlot> SlotFor(IDispatch* cell) {
    if (!firstVtable_) {
      firstVtable_ = VtableOf(cell);
    }
    if (VtableOf(cell) != firstVtable_) {
      return std::make_shared<TypeSlot>();
    }
    return cellType_;
  }

  ComPtr<IEnumVARIANT> cells_;
  std::shared_ptr<TypeCatalog> catalog_;
  std::array<Variant, kCellsPerFetch> batch_;
  std::size_t next_ = 0;
  std::size_t fetched_ = 0;
  bool finished_ = false;
  bool oneAtATime_ = false;
  const void* firstVtable_ = nullptr;
  std::shared_ptr<TypeSlot> cellType_ = std::make_shared<TypeSlot>();
};

// The most cells a block of values read whole may have: more would be copied only to exhaust
// memory (64 whole columns already hold 2^26 cells).
constexpr std::int64_t kMostCellsRead = std::int64_t{1} << 26;

// The elements of an array, locked for as long as they are read.
class ArrayElements {
 public:
  explicit ArrayElements(SAFEARRAY* array) : array_(array) {
    if (FAILED(SafeArrayAccessData(array_, &data_))) {
      throw errors::TypeMismatch();
    }
  }
  ~ArrayElements() { SafeArrayUnaccessData(array_); }
  ArrayElements(const ArrayElements&) = delete;
  ArrayElements& operator=(const ArrayElements&) = delete;

  const VARIANT* get() const { return static_cast<const VARIANT*>(data_); }

 private:
  SAFEARRAY* array_;
  void* data_ = nullptr;
};

// How many elements a dimension (1: the left-most) holds, from its bounds as given.
std::int64_t ExtentOf(SAFEARRAY* array, UINT dimension) {
  LONG lower = 0;
  LONG upper = 0;
  if (FAILED(SafeArrayGetLBound(array, dimension, &lower)) ||
      FAILED(SafeArrayGetUBound(array, dimension, &upper))) {
    throw errors::TypeMismatch();
  }
  return std::int64_t{upper} - lower + 1;
}

// Value of a multi-cell area: a 2-D array of VARIANTs, rows the first dimension and columns the
// second, whatever its lower bounds. Its data lies column-major (the left-most dimension changes
// first), so the cell at 0-based (row, column) is element row + rows * column.
host::CellValues CellValuesFromArray(SAFEARRAY* array) {
  if (array == nullptr || SafeArrayGetDim(array) != 2 ||
      SafeArrayGetElemsize(array) != sizeof(VARIANT)) {
    throw errors::TypeMismatch();
  }
  const std::int64_t rows = ExtentOf(array, 1);
  const std::int64_t columns = ExtentOf(array, 2);
  if (rows < 1 || columns < 1 || rows > kMostCellsRead / columns) {  // no product overflows
    throw errors::TypeMismatch();
  }
  host::CellValues block{static_cast<std::int32_t>(rows), static_cast<std::int32_t>(columns), {}};
  block.values.reserve(static_cast<std::size_t>(rows * columns));
  const ArrayElements elements(array);
  for (std::int64_t row = 0; row < rows; ++row) {
    for (std::int64_t column = 0; column < columns; ++column) {
      block.values.push_back(
          CellValueFromVariant(elements.get()[static_cast<std::size_t>(row + rows * column)]));
    }
  }
  return block;
}

// Value read whole: one cell's value alone, a multi-cell area's as an array (by reference too).
host::CellValues CellValuesFromVariant(const VARIANT& value) {
  if (V_VT(&value) == (VT_ARRAY | VT_VARIANT)) {
    return CellValuesFromArray(V_ARRAY(&value));
  }
  if (V_VT(&value) == (VT_ARRAY | VT_VARIANT | VT_BYREF)) {
    RequireFollowableReference(value);
    return CellValuesFromArray(*V_ARRAYREF(&value));
  }
  return {1, 1, {CellValueFromVariant(value)}};
}

class ExcelRange final : public host::Range, public DispatchBacked {
 public:
  using DispatchBacked::DispatchBacked;

  std::shared_ptr<host::Range> SpecialCells(int type) override {
    return Wrapped(object_, invoke(object_, u"SpecialCells", kCall, Variant::of_int(type)),
                   u"SpecialCells", MakeRange);
  }

  std::unique_ptr<host::CellEnumerator> Cells() override {
    Variant result = object_.InvokeId(DISPID_NEWENUM, u"_NewEnum", kCallOrGet);
    IUnknown* unknown = nullptr;
    if (result.vt() == VT_UNKNOWN) {
      unknown = V_UNKNOWN(result.get());
    } else if (result.vt() == VT_DISPATCH) {
      unknown = V_DISPATCH(result.get());
    } else if (result.vt() != VT_EMPTY) {
      throw HostErrorFromHResult(DISP_E_TYPEMISMATCH, u"_NewEnum");
    }
    if (unknown == nullptr) {
      ThrowObjectNotSet();
    }
    ComPtr<IEnumVARIANT> cells;
    const HRESULT hr = unknown->QueryInterface(IID_IEnumVARIANT, cells.put_void());
    if (FAILED(hr)) {
      throw HostErrorFromHResult(hr, u"_NewEnum");
    }
    return std::make_unique<ExcelCellEnumerator>(std::move(cells), object_.catalog());
  }

  host::CellValue Value() override {
    const Variant value = object_.Invoke(u"Value", kGet);
    return CellValueFromVariant(*value.get());
  }

  host::CellValues Values() override {
    const Variant value = object_.Invoke(u"Value", kGet);
    return CellValuesFromVariant(*value.get());
  }

  void SetValue(const host::CellValue& value) override {
    invoke(object_, u"Value", kPut, VariantFromCellValue(value));
  }

  std::u16string NumberFormat() override {
    return TextOf(object_.Invoke(u"NumberFormat", kGet), u"NumberFormat");
  }

  std::u16string Address() override { return TextOf(object_.Invoke(u"Address", kGet), u"Address"); }

  std::int32_t AreaCount() override { return Int32Of(Areas().Invoke(u"Count", kGet), u"Count"); }

  std::shared_ptr<host::Range> Area(std::int32_t index) override {
    const DispatchObject& areas = Areas();
    return Wrapped(areas, invoke(areas, u"Item", kCallOrGet, Variant::of_int(index)), u"Item",
                   MakeRange);
  }

  host::CellBlock Bounds() override {
    return {Int32Of(object_.Invoke(u"Row", kGet), u"Row"),
            Int32Of(object_.Invoke(u"Column", kGet), u"Column"),
            Int32Of(Property(u"Rows").Invoke(u"Count", kGet), u"Count"),
            Int32Of(Property(u"Columns").Invoke(u"Count", kGet), u"Count")};
  }

 private:
  // A range's areas never change: the collection is asked for once, so that each Area costs
  // one call.
  const DispatchObject& Areas() const {
    if (!areas_) {
      areas_ = Property(u"Areas");
    }
    return *areas_;
  }

  mutable std::optional<DispatchObject> areas_;
};

}  // namespace

std::shared_ptr<host::Range> MakeRange(DispatchObject object) {
  return std::make_shared<ExcelRange>(std::move(object));
}

}  // namespace morvane::com
