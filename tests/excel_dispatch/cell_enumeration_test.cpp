// The cells of a range, fetched from Excel's _NewEnum in batches.

#include <gtest/gtest.h>

#include "addin/com/excel/adapters.h"
#include "convert/cell_rewrite.h"
#include "support/fake_dispatch.h"

namespace morvane::test {
namespace {

using namespace fakes;

// A range whose _NewEnum hands out count cells, the i-th holding the number i.
struct EnumeratedRange {
  explicit EnumeratedRange(
      int count, ComPtr<ITypeInfo> cellInfo = nullptr,
      const std::function<Variant(int)>& valueOf = [](int i) { return Variant::of_double(i); })
      : cellType(Type({{u"Value", 6}, {u"NumberFormat", 0xC1}}, std::move(cellInfo))) {
    std::vector<ComPtr<IDispatch>> items;
    for (int i = 0; i < count; ++i) {
      cells.push_back(FakeObject::Create(cellType));
      cells.back()->Set(u"Value", valueOf(i));
      cells.back()->Set(u"NumberFormat", Variant::of_string(u"General"));
      items.emplace_back(cells.back().get());
    }
    enumerator = std::make_unique<FakeEnum>(std::move(items));
    range->On(u"_NewEnum", [this](const FakeCall&, VARIANT* result, EXCEPINFO*) {
      V_VT(result) = VT_UNKNOWN;
      return enumerator->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&V_UNKNOWN(result)));
    });
  }

  std::shared_ptr<host::Range> Adapter() {
    return com::MakeRange(com::DispatchObject(range.get(), std::make_shared<com::TypeCatalog>()));
  }

  std::shared_ptr<FakeType> cellType;
  std::vector<ComPtr<FakeObject>> cells;
  std::unique_ptr<FakeEnum> enumerator;
  ComPtr<FakeObject> range = FakeObject::Create(Type({{u"_NewEnum", DISPID_NEWENUM}}));
};

TEST(CellEnumeration, VisitsEveryCellInTheHostsOrderFetchingSixtyFourAtATime) {
  for (const int count : {0, 1, 63, 64, 65, 200}) {
    SCOPED_TRACE(count);
    EnumeratedRange fake(count);
    {
      const auto cells = fake.Adapter()->Cells();
      std::vector<double> seen;
      while (const auto cell = cells->Next()) {
        seen.push_back(std::get<double>(cell->Value()));
      }
      ASSERT_EQ(seen.size(), static_cast<std::size_t>(count));
      for (int i = 0; i < count; ++i) {
        EXPECT_EQ(seen[i], i);
      }
      EXPECT_EQ(cells->Next(), nullptr);  // and it stays finished, without asking again
    }
    // Only a batch of none ends the enumeration: a short batch may come before the end.
    EXPECT_EQ(fake.enumerator->requested, std::vector<ULONG>((count + 63) / 64 + 1, 64));
    EXPECT_EQ(fake.enumerator->references(), 1u);
    fake.enumerator.reset();
    for (const auto& cell : fake.cells) {
      EXPECT_EQ(cell->references(), 1u);  // every cell let go
    }
  }
}

// What Convert costs per visited cell: one Invoke to read the value, one more to write a changed
// text, one more to read the number format for a text Excel might read as something else, and
// 1/64 of a Next. The name Value and the cells' type are asked for once for the whole
// enumeration.
TEST(CellEnumeration, ConvertCostsOneInvokePerValueAccess) {
  const std::function<Variant()> kinds[] = {
      [] { return Variant::of_string(u"abc"); },   // changed: read, write
      [] { return Variant::of_string(u"ABC"); },   // unchanged: read
      [] { return Variant::of_double(5); },        // not text: read
      [] { return Variant::of_string(u"true"); },  // Excel might retype it: read, format, write
  };
  const std::size_t invokes[] = {2, 1, 1, 3};
  const auto valueOf = [&](int i) { return kinds[i % 4](); };
  const GUID rangeType = {0x00020846, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  for (ComPtr<ITypeInfo> info : {MakeTypeInfo(rangeType), ComPtr<ITypeInfo>()}) {
    SCOPED_TRACE(info ? "with type information" : "without");
    EnumeratedRange fake(640, info, valueOf);
    const auto cells = fake.Adapter()->Cells();
    while (const auto cell = cells->Next()) {
      ConvertCellText(*cell, cell->Value(), CaseMode::UpperCase);
    }
    for (std::size_t i = 0; i < fake.cells.size(); ++i) {
      ASSERT_EQ(fake.cells[i]->calls().size(), invokes[i % 4]) << i;
    }
    EXPECT_EQ(fake.enumerator->requested.size(), 11u);
    EXPECT_EQ(fake.cellType->lookups[u"Value"], 1);
    EXPECT_EQ(fake.cellType->typeInfoRequests, 1);
  }
}

}  // namespace
}  // namespace morvane::test
