// The RAII holders: every ownership-changing member, checked against counted references.

#include <gtest/gtest.h>

#include <utility>

#include "addin/com/base/advise_cookie.h"
#include "addin/com/base/bstr.h"
#include "addin/com/base/com_ptr.h"
#include "addin/com/base/variant.h"
#include "support/fake_dispatch.h"

namespace morvane::com {
namespace {

using fakes::CountingUnknown;

TEST(ComPtrTest, ConstructionFromABorrowedPointerAddRefsAndDestructionReleases) {
  CountingUnknown object;
  {
    ComPtr<IUnknown> held(&object);
    EXPECT_EQ(object.extra(), 1);
    EXPECT_EQ(held.get(), &object);
  }
  EXPECT_EQ(object.extra(), 0);
}

TEST(ComPtrTest, ResetAdoptsWithoutAddRefAndReleaseGivesUpWithoutRelease) {
  CountingUnknown object;
  object.AddRef();  // the reference the holder adopts
  ComPtr<IUnknown> held;
  held.reset(&object);
  EXPECT_EQ(object.extra(), 1);
  IUnknown* given = held.release();
  EXPECT_EQ(given, &object);
  EXPECT_FALSE(held);
  EXPECT_EQ(object.extra(), 1);  // the caller owns it now
  given->Release();
  EXPECT_EQ(object.extra(), 0);
}

TEST(ComPtrTest, CopiesAddRefAndMovesTransfer) {
  CountingUnknown object;
  ComPtr<IUnknown> first(&object);
  ComPtr<IUnknown> copy(first);
  EXPECT_EQ(object.extra(), 2);
  ComPtr<IUnknown> moved(std::move(copy));
  EXPECT_FALSE(copy);
  EXPECT_EQ(object.extra(), 2);
  ComPtr<IUnknown> assigned;
  assigned = first;
  EXPECT_EQ(object.extra(), 3);
  assigned = std::move(moved);  // releases its own, takes moved's
  EXPECT_EQ(object.extra(), 2);
  assigned = nullptr;
  first.reset();
  EXPECT_EQ(object.extra(), 0);
}

TEST(ComPtrTest, SelfAssignmentKeepsTheReference) {
  CountingUnknown object;
  ComPtr<IUnknown> held(&object);
  ComPtr<IUnknown>& alias = held;
  held = alias;
  EXPECT_EQ(held.get(), &object);
  EXPECT_EQ(object.extra(), 1);
  held = std::move(alias);
  EXPECT_EQ(held.get(), &object);
  EXPECT_EQ(object.extra(), 1);
}

TEST(ComPtrTest, PutReleasesTheCurrentValueBeforeTheOutParamIsFilled) {
  CountingUnknown first;
  CountingUnknown second;
  ComPtr<IUnknown> held(&first);
  // A QueryInterface into a holder that already holds something must not leak the old value.
  ASSERT_EQ(second.QueryInterface(IID_IUnknown, held.put_void()), S_OK);
  EXPECT_EQ(first.extra(), 0);
  EXPECT_EQ(second.extra(), 1);
  EXPECT_EQ(held.get(), &second);
}

TEST(ComPtrTest, CopyToHandsOutAnAddRefdPointer) {
  CountingUnknown object;
  ComPtr<IUnknown> held(&object);
  IUnknown* out = nullptr;
  held.copy_to(&out);
  EXPECT_EQ(out, &object);
  EXPECT_EQ(object.extra(), 2);
  out->Release();
}

TEST(ComPtrTest, QueryForAnInterfaceTheObjectLacks) {
  CountingUnknown object;
  ComPtr<IUnknown> held(&object);
  EXPECT_FALSE(held.try_query<IDispatch>());
  try {
    held.query<IDispatch>("QueryInterface(IDispatch)");
    FAIL() << "no ComError";
  } catch (const ComError& error) {
    EXPECT_EQ(error.hr(), E_NOINTERFACE);
    EXPECT_STREQ(error.what(), "QueryInterface(IDispatch)");
  }
  EXPECT_EQ(object.extra(), 1);
  EXPECT_TRUE(held.try_query<IUnknown>());
  EXPECT_EQ(object.extra(), 1);  // the temporary's reference is gone again
}

TEST(BstrTest, CopiesTheTextAndKeepsEmbeddedNulls) {
  const std::u16string text(u"a\0b\u00e9", 4);
  Bstr str(text);
  EXPECT_EQ(str.length(), 4u);
  EXPECT_EQ(str.to_u16string(), text);
  Bstr empty;
  EXPECT_EQ(empty.get(), nullptr);
  EXPECT_EQ(empty.length(), 0u);
  EXPECT_EQ(empty.to_u16string(), u"");
}

TEST(BstrTest, CopyIsIndependentAndMoveTransfers) {
  Bstr original(std::wstring_view(L"Morvane"));
  Bstr duplicate = original.copy();
  EXPECT_NE(duplicate.get(), original.get());
  duplicate.get()[0] = L'X';
  EXPECT_EQ(original.view(), L"Morvane");
  const BSTR raw = original.get();
  Bstr moved(std::move(original));
  EXPECT_EQ(moved.get(), raw);
  EXPECT_EQ(original.get(), nullptr);
  moved = std::move(moved);
  EXPECT_EQ(moved.get(), raw);
}

TEST(BstrTest, PutFreesTheOldStringAndResetToItselfKeepsIt) {
  Bstr str(std::wstring_view(L"old"));
  BSTR* out = str.put();
  EXPECT_EQ(*out, nullptr);
  *out = SysAllocString(L"new");
  EXPECT_EQ(str.view(), L"new");
  str.reset(str.get());
  EXPECT_EQ(str.view(), L"new");
  BSTR released = str.release();
  EXPECT_EQ(str.get(), nullptr);
  SysFreeString(released);
}

TEST(VariantTest, BooleansAndOmittedArgumentsAreAutomationsOwnValues) {
  EXPECT_EQ(V_BOOL(Variant::of_bool(true).get()), VARIANT_TRUE);  // -1, not 1
  Variant missing = Variant::missing();
  EXPECT_EQ(missing.vt(), VT_ERROR);
  EXPECT_EQ(V_ERROR(missing.get()), DISP_E_PARAMNOTFOUND);
}

TEST(VariantTest, HoldsItsInterfaceReferenceUntilCleared) {
  const ComPtr<fakes::FakeObject> object = fakes::FakeObject::Create(fakes::Type());
  {
    Variant held = Variant::of_dispatch(object.get());
    EXPECT_EQ(object->references(), 2u);
    Variant copy = held.copy();
    EXPECT_EQ(object->references(), 3u);
    Variant moved(std::move(copy));
    EXPECT_EQ(copy.vt(), VT_EMPTY);
    EXPECT_EQ(object->references(), 3u);
    moved = std::move(moved);
    EXPECT_EQ(object->references(), 3u);
  }
  EXPECT_EQ(object->references(), 1u);
}

TEST(VariantTest, PutClearsAndResetAdoptsWithoutAddRef) {
  const ComPtr<fakes::FakeObject> object = fakes::FakeObject::Create(fakes::Type());
  Variant held = Variant::of_dispatch(object.get());
  VARIANT* out = held.put();
  EXPECT_EQ(object->references(), 1u);
  EXPECT_EQ(V_VT(out), VT_EMPTY);

  VARIANT raw;
  VariantInit(&raw);
  V_VT(&raw) = VT_DISPATCH;
  V_DISPATCH(&raw) = object.get();
  object->AddRef();  // the reference the holder adopts
  held.reset(raw);
  EXPECT_EQ(object->references(), 2u);
  held.reset(*held.get());  // its own contents: nothing changes hands
  EXPECT_EQ(object->references(), 2u);
  VARIANT given = held.release();
  EXPECT_EQ(held.vt(), VT_EMPTY);
  EXPECT_EQ(object->references(), 2u);
  VariantClear(&given);
  EXPECT_EQ(object->references(), 1u);
}

class AdviseCookieTest : public testing::Test {
 protected:
  const IID events_ = DIID__CommandBarButtonEvents;
  fakes::FakeEventSource source_{events_};
  const ComPtr<fakes::FakeObject> sink_ = SinkOf(events_);

  static ComPtr<fakes::FakeObject> SinkOf(const IID& events) {
    auto sink = fakes::FakeObject::Create(fakes::Type());
    sink->Expose(events);
    return sink;
  }
};

TEST_F(AdviseCookieTest, ConnectsOnceAndUnadvisesOnceWhenDropped) {
  {
    AdviseCookie cookie = AdviseCookie::Advise(source_.unknown(), events_, sink_.get());
    EXPECT_TRUE(cookie.connected());
    EXPECT_EQ(cookie.cookie(), 1u);
    EXPECT_EQ(sink_->references(), 2u);  // the source holds the sink while connected
  }
  EXPECT_EQ(source_.unadvised, std::vector<DWORD>{1});
  EXPECT_EQ(sink_->references(), 1u);
  EXPECT_EQ(source_.references(), 1u);
}

TEST_F(AdviseCookieTest, MoveTransfersTheConnectionAndResetIsIdempotent) {
  AdviseCookie cookie = AdviseCookie::Advise(source_.unknown(), events_, sink_.get());
  AdviseCookie moved(std::move(cookie));
  EXPECT_FALSE(cookie.connected());
  AdviseCookie assigned;
  assigned = std::move(moved);
  EXPECT_TRUE(source_.unadvised.empty());
  assigned.reset();
  assigned.reset();
  EXPECT_EQ(source_.unadvised, std::vector<DWORD>{1});
  EXPECT_FALSE(assigned.connected());
}

TEST_F(AdviseCookieTest, ARefusedSinkOrAMissingConnectionPointThrows) {
  source_.refuse = CONNECT_E_CANNOTCONNECT;
  try {
    AdviseCookie::Advise(source_.unknown(), events_, sink_.get());
    FAIL() << "no ComError";
  } catch (const ComError& error) {
    EXPECT_EQ(error.hr(), CONNECT_E_CANNOTCONNECT);
  }
  const IID other = {0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
  EXPECT_THROW(AdviseCookie::Advise(source_.unknown(), other, sink_.get()), ComError);
  EXPECT_EQ(source_.references(), 1u);
  EXPECT_TRUE(source_.unadvised.empty());
}

TEST_F(AdviseCookieTest, CookieZeroIsNotAConnection) {
  // A source that says S_OK but hands out 0 could never be unadvised.
  source_.nextCookie = 0;
  EXPECT_THROW(AdviseCookie::Advise(source_.unknown(), events_, sink_.get()), ComError);
  EXPECT_TRUE(source_.unadvised.empty());
}

}  // namespace
}  // namespace morvane::com
