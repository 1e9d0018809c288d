// Ranges of cells and the enumeration of a range's cells (_NewEnum) as one-cell ranges.

#include "addin/com/excel/cell_variant.h"
#include "tests/e2e/bench_counters.h"
#include "tests/e2e/scenario_values.h"
#include "tests/e2e/served_objects.h"

namespace morvane::e2e {
namespace {

// How long a held cell write waits for the script before it goes on regardless.
constexpr DWORD kWriteHoldLimitMs = 10000;
// XlRangeValueDataType's default, the only one modelled.
constexpr std::int32_t kRangeValueDefault = 10;

// What a Value put stores: a value a cell cannot hold (an object, an array, an error value
// Excel does not have) is refused as a type mismatch.
host::CellValue StorableValue(const VARIANT& value) {
  host::CellValue stored;
  try {
    stored = com::CellValueFromVariant(value);
  } catch (const host::HostError& error) {
    throw DispatchFault{error.hresult()};
  }
  if (std::holds_alternative<host::ErrorValue>(stored) && FormatCellValue(stored) == "#?") {
    throw DispatchFault{DISP_E_TYPEMISMATCH};
  }
  return stored;
}

// IEnumVARIANT over a host enumerator: every item is a one-cell Range.
class CellEnum final : public com::ComObject<CellEnum, IEnumVARIANT> {
 public:
  static constexpr com::InterfaceEntry<CellEnum> kInterfaces[] = {
      {&IID_IUnknown, com::As<CellEnum, IEnumVARIANT>},
      {&IID_IEnumVARIANT, com::As<CellEnum, IEnumVARIANT>}};

  CellEnum(std::shared_ptr<ServedHost> host, std::shared_ptr<host::Range> range)
      : host_(std::move(host)), range_(std::move(range)), cells_(range_->Cells()) {}

  HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override {
    if (items == nullptr || (fetched == nullptr && count != 1)) {
      return E_POINTER;
    }
    ++Bench().cellFetches;
    const ServedTime timed;
    ULONG n = 0;
    try {
      for (; n < count; ++n) {
        std::shared_ptr<host::Range> cell = cells_->Next();
        if (!cell) {
          break;
        }
        VariantInit(&items[n]);
        V_VT(&items[n]) = VT_DISPATCH;
        V_DISPATCH(&items[n]) = ServeRange(host_, std::move(cell)).release();
      }
    } catch (const host::HostError& error) {
      for (ULONG k = 0; k < n; ++k) {
        VariantClear(&items[k]);
      }
      return error.hresult();
    }
    if (fetched != nullptr) {
      *fetched = n;
    }
    return n == count ? S_OK : S_FALSE;
  }

  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    try {
      for (ULONG n = 0; n < count; ++n) {
        if (!cells_->Next()) {
          return S_FALSE;
        }
      }
    } catch (const host::HostError& error) {
      return error.hresult();
    }
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Reset() override {
    try {
      cells_ = range_->Cells();
    } catch (const host::HostError& error) {
      return error.hresult();
    }
    return S_OK;
  }

  // Nothing in the add-in's reach clones an enumeration.
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override {
    if (out != nullptr) {
      *out = nullptr;
    }
    return E_NOTIMPL;
  }

 private:
  LiveToken live_;
  std::shared_ptr<ServedHost> host_;
  std::shared_ptr<host::Range> range_;
  std::unique_ptr<host::CellEnumerator> cells_;
};

// What Rows and Columns of a range give, as far as the add-in uses it: their Count.
class ServedCount : public ServedObject {
 public:
  ServedCount(std::shared_ptr<ServedHost> host, std::int32_t count);

  void Count(Call& call) { call.Return(com::Variant::of_int(count_)); }

 private:
  static const Member kMembers[];
  std::int32_t count_;
};

const Member ServedCount::kMembers[] = {{L"Count", 0x76, {}, Bind<&ServedCount::Count>}};

ServedCount::ServedCount(std::shared_ptr<ServedHost> host, std::int32_t count)
    : ServedObject(std::move(host), L"Range", kMembers), count_(count) {}

// The Areas collection of a range: each area a one-area Range.
class ServedAreas : public ServedObject {
 public:
  ServedAreas(std::shared_ptr<ServedHost> host, std::shared_ptr<host::Range> range);

  void Count(Call& call) { call.Return(com::Variant::of_int(range_->AreaCount())); }
  void Item(Call& call) {
    call.ReturnObject(ServeRange(SharedHost(), range_->Area(call.NeedInt(0))));
  }

 private:
  static const Member kMembers[];
  std::shared_ptr<host::Range> range_;
};

const Member ServedAreas::kMembers[] = {
    {L"Count", 0x76, {}, Bind<&ServedAreas::Count>},
    {L"Item", 0xAA, {L"Index"}, Bind<&ServedAreas::Item>},
};

ServedAreas::ServedAreas(std::shared_ptr<ServedHost> host, std::shared_ptr<host::Range> range)
    : ServedObject(std::move(host), L"Areas", kMembers), range_(std::move(range)) {}

// Value of a multi-cell first area as Excel gives it: a 2-D array of VARIANTs, 1-based, rows
// the first dimension. Each element is put by its indices, the left-most dimension's first.
com::Variant ArrayOfValues(const host::CellValues& block) {
  SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(block.rows), 1},
                              {static_cast<ULONG>(block.columns), 1}};
  com::Variant array;
  V_VT(array.get()) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(array.get()) = SafeArrayCreate(VT_VARIANT, 2, bounds);
  if (V_ARRAY(array.get()) == nullptr) {
    throw DispatchFault{E_OUTOFMEMORY};
  }
  for (std::int32_t row = 0; row < block.rows; ++row) {
    for (std::int32_t column = 0; column < block.columns; ++column) {
      const auto at = static_cast<std::size_t>(row) * static_cast<std::size_t>(block.columns) +
                      static_cast<std::size_t>(column);
      com::Variant element = com::VariantFromCellValue(block.values[at]);
      LONG indices[2] = {row + 1, column + 1};
      const HRESULT hr = SafeArrayPutElement(V_ARRAY(array.get()), indices, element.get());
      if (FAILED(hr)) {
        throw DispatchFault{hr};
      }
    }
  }
  return array;
}

class ServedRange : public ServedObject, public HostObjectHolder<host::Range> {
 public:
  ServedRange(std::shared_ptr<ServedHost> host, std::shared_ptr<host::Range> range);

  std::shared_ptr<host::Range> HostObject() const override { return range_; }

  void Value(Call& call) {
    RequireDefaultDataType(call);
    const host::CellBlock first = range_->Bounds();
    if (first.rows == 1 && first.columns == 1) {
      call.Return(com::VariantFromCellValue(range_->Value()));
    } else {
      call.Return(ArrayOfValues(range_->Values()));
    }
  }
  void SetValue(Call& call) {
    RequireDefaultDataType(call);
    const host::CellValue value = StorableValue(call.PutValue());
    // The write counts for a held write whether the host takes it or refuses it.
    struct Counted {
      ServedHost& host;
      ~Counted() { host.writes.AfterWrite(kWriteHoldLimitMs); }
    } counted{Host()};
    range_->SetValue(value);
  }
  void NumberFormat(Call& call) { call.ReturnText(range_->NumberFormat()); }
  void Address(Call& call) {
    for (std::size_t i = 0; i < 5; ++i) {
      if (call.Arg(i) != nullptr) {
        throw host::HostError(errors::kFail, u"simulated Excel models Address with defaults only");
      }
    }
    call.ReturnText(range_->Address());
  }
  void SpecialCells(Call& call) {
    if (call.Arg(1) != nullptr) {
      throw host::HostError(errors::kFail, u"simulated Excel models SpecialCells without Value");
    }
    call.ReturnObject(ServeRange(SharedHost(), range_->SpecialCells(call.NeedInt(0))));
  }
  void Areas(Call& call) { call.ReturnObject(Serve<ServedAreas>(SharedHost(), range_)); }
  void Row(Call& call) { call.Return(com::Variant::of_int(range_->Bounds().row)); }
  void Column(Call& call) { call.Return(com::Variant::of_int(range_->Bounds().column)); }
  void Rows(Call& call) {
    call.ReturnObject(Serve<ServedCount>(SharedHost(), range_->Bounds().rows));
  }
  void Columns(Call& call) {
    call.ReturnObject(Serve<ServedCount>(SharedHost(), range_->Bounds().columns));
  }
  void NewEnum(Call& call) {
    com::Variant out;
    V_VT(out.get()) = VT_UNKNOWN;
    V_UNKNOWN(out.get()) = new CellEnum(SharedHost(), range_);
    call.Return(std::move(out));
  }

 private:
  static void RequireDefaultDataType(const Call& call) {
    const std::optional<std::int32_t> type = call.IntArg(0);
    if (type && *type != kRangeValueDefault) {
      throw host::HostError(errors::kFail, u"simulated Excel models xlRangeValueDefault only");
    }
  }

  static const Member kMembers[];
  std::shared_ptr<host::Range> range_;
};

// Excel's DISPIDs for Range.
const Member ServedRange::kMembers[] = {
    {L"Value",
     0x6,
     {L"RangeValueDataType"},
     Bind<&ServedRange::Value>,
     Bind<&ServedRange::SetValue>},
    {L"NumberFormat", 0xC1, {}, Bind<&ServedRange::NumberFormat>},
    {L"Address",
     0xEC,
     {L"RowAbsolute", L"ColumnAbsolute", L"ReferenceStyle", L"External", L"RelativeTo"},
     Bind<&ServedRange::Address>},
    {L"SpecialCells", 0x19A, {L"Type", L"Value"}, Bind<&ServedRange::SpecialCells>},
    {L"Areas", 0x238, {}, Bind<&ServedRange::Areas>},
    {L"Row", 0x101, {}, Bind<&ServedRange::Row>},
    {L"Column", 0xF0, {}, Bind<&ServedRange::Column>},
    {L"Rows", 0x102, {}, Bind<&ServedRange::Rows>},
    {L"Columns", 0xF1, {}, Bind<&ServedRange::Columns>},
    {L"_NewEnum", DISPID_NEWENUM, {}, Bind<&ServedRange::NewEnum>},
};

ServedRange::ServedRange(std::shared_ptr<ServedHost> host, std::shared_ptr<host::Range> range)
    : ServedObject(std::move(host), L"Range", kMembers), range_(std::move(range)) {}

}  // namespace

com::ComPtr<IDispatch> ServeRange(const std::shared_ptr<ServedHost>& host,
                                  std::shared_ptr<host::Range> range) {
  if (!range) {
    return {};
  }
  return Serve<ServedRange>(host, std::move(range));
}

}  // namespace morvane::e2e
