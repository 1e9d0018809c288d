// The Click sink of a command bar button: what it answers, how it reads Click, and that a
// released connection calls nothing.

#include <gtest/gtest.h>

#include "addin/com/base/module_lifetime.h"
#include "addin/com/excel/adapters.h"
#include "support/fake_dispatch.h"

namespace morvane::test {
namespace {

using namespace fakes;

// A button with a Tag and a Click connection point.
struct FakeButton {
  FakeButton() {
    button->Set(u"Tag", Variant::of_string(u"mvExit"));
    button->Expose(IID_IConnectionPointContainer, static_cast<IConnectionPointContainer*>(&source));
  }

  std::shared_ptr<host::CommandBarControl> Adapter() {
    return com::MakeCommandBarControl(com::DispatchObject(button.get(), catalog));
  }

  std::shared_ptr<com::TypeCatalog> catalog = std::make_shared<com::TypeCatalog>();
  FakeEventSource source;
  ComPtr<FakeObject> button = FakeObject::Create(Type({{u"Tag", 0x60030004}}));
};

TEST(ClickSink, PassesTheButtonAndWritesCancelDefaultBack) {
  FakeButton fake;
  std::u16string tag;
  int clicks = 0;
  const auto connection = fake.Adapter()->ConnectClick(
      [&](const std::shared_ptr<host::CommandBarControl>& ctrl, bool& cancelDefault) {
        ++clicks;
        tag = ctrl->Tag();
        EXPECT_FALSE(cancelDefault);
        cancelDefault = true;
      });
  VARIANT_BOOL cancel = VARIANT_FALSE;
  EXPECT_EQ(fake.source.Click(fake.button.get(), cancel), S_OK);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(tag, u"mvExit");
  EXPECT_EQ(cancel, VARIANT_TRUE);
  EXPECT_EQ(fake.button->references(), 1u);  // the adapter of Ctrl is gone again
}

// Invoke with arguments Office would never send: refused before the handler runs, with the
// offending argument named where there is one.
TEST(ClickSink, RefusesMalformedCalls) {
  FakeButton fake;
  bool called = false;
  const auto connection = fake.Adapter()->ConnectClick([&](auto&, bool&) { called = true; });
  const ComPtr<IDispatch> sink = fake.source.Sink();
  VARIANT_BOOL cancel = VARIANT_FALSE;
  struct Case {
    const char* what;
    DISPID id;
    IID iid;
    VARTYPE ctrl, cancelDefault;
    UINT count;
    HRESULT expected;
    UINT argErr;
  };
  const UINT untouched = 0xDEADBEEF;
  const Case cases[] = {
      {"other member", 2, IID_NULL, VT_DISPATCH, VT_BOOL | VT_BYREF, 2, DISP_E_MEMBERNOTFOUND,
       untouched},
      {"riid not IID_NULL", 1, IID_IDispatch, VT_DISPATCH, VT_BOOL | VT_BYREF, 2,
       DISP_E_UNKNOWNINTERFACE, untouched},
      {"one argument", 1, IID_NULL, VT_DISPATCH, VT_BOOL | VT_BYREF, 1, DISP_E_BADPARAMCOUNT,
       untouched},
      {"Ctrl not an object", 1, IID_NULL, VT_BSTR, VT_BOOL | VT_BYREF, 2, DISP_E_TYPEMISMATCH, 1},
      {"CancelDefault by value", 1, IID_NULL, VT_DISPATCH, VT_BOOL, 2, DISP_E_TYPEMISMATCH, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    VARIANT args[2];
    V_VT(&args[1]) = c.ctrl;
    V_DISPATCH(&args[1]) = fake.button.get();  // the BSTR case never reads it as text
    V_VT(&args[0]) = c.cancelDefault;
    V_BOOLREF(&args[0]) = &cancel;
    DISPPARAMS params{args + (2 - c.count), nullptr, c.count, 0};
    UINT argErr = untouched;
    EXPECT_EQ(sink->Invoke(c.id, c.iid, 1033, DISPATCH_METHOD, &params, nullptr, nullptr, &argErr),
              c.expected);
    EXPECT_EQ(argErr, c.argErr);
  }
  EXPECT_FALSE(called);
  EXPECT_EQ(cancel, VARIANT_FALSE);
}

TEST(ClickSink, AHandlerThatFailsLeavesCancelDefaultAlone) {
  FakeButton fake;
  const auto connection = fake.Adapter()->ConnectClick([](auto&, bool& cancelDefault) {
    cancelDefault = true;
    throw host::HostError(errors::kExcelError, u"gone");
  });
  VARIANT_BOOL cancel = VARIANT_FALSE;
  EXPECT_EQ(fake.source.Click(fake.button.get(), cancel), errors::kExcelError);
  EXPECT_EQ(cancel, VARIANT_FALSE);
}

// Exit disconnects the add-in from inside its own click: the handler drops its connection
// (and with it the source's only reference to the sink) while it runs.
TEST(ClickSink, AHandlerMayReleaseItsOwnConnection) {
  FakeButton fake;
  struct Witness {
    bool* destroyed;
    ~Witness() { *destroyed = true; }
  };
  bool capturesDestroyed = false;
  auto witness = std::make_shared<Witness>(&capturesDestroyed);
  std::unique_ptr<host::EventConnection> connection;
  bool ranToTheEnd = false;
  connection = fake.Adapter()->ConnectClick([&, witness](auto&, bool& cancelDefault) {
    connection.reset();
    EXPECT_FALSE(capturesDestroyed);  // what the running handler holds is still there
    // So is the sink itself: the catalog is held by the test, by the sink and by the adapter
    // of Ctrl.
    EXPECT_EQ(fake.catalog.use_count(), 3);
    cancelDefault = true;
    ranToTheEnd = true;
  });
  witness.reset();  // the source's reference to the sink is the only one left
  VARIANT_BOOL cancel = VARIANT_FALSE;
  EXPECT_EQ(fake.source.Click(fake.button.get(), cancel), S_OK);
  EXPECT_TRUE(ranToTheEnd);
  EXPECT_EQ(cancel, VARIANT_TRUE);
  EXPECT_EQ(fake.source.unadvised, std::vector<DWORD>{1});
  EXPECT_EQ(fake.source.connected(), 0u);
  EXPECT_TRUE(capturesDestroyed);  // released once the click returned
}

TEST(ClickSink, NothingIsCalledAfterTheConnectionIsReleased) {
  FakeButton fake;
  int clicks = 0;
  auto connection = fake.Adapter()->ConnectClick([&](auto&, bool&) { ++clicks; });
  const ComPtr<IDispatch> sink = fake.source.Sink();  // as a source still firing might hold it
  connection.reset();
  EXPECT_EQ(fake.source.unadvised, std::vector<DWORD>{1});
  VARIANT_BOOL cancel = VARIANT_FALSE;
  EXPECT_EQ(fake.source.Click(fake.button.get(), cancel), S_OK);  // nobody connected
  EXPECT_EQ(FakeEventSource::RaiseClick(sink.get(), fake.button.get(), cancel), S_OK);
  EXPECT_EQ(clicks, 0);
}

// COM must not unload the DLL while a button still holds one of its sinks.
TEST(ClickSink, AnAdvisedSinkKeepsTheModuleInUse) {
  ASSERT_FALSE(com::ModuleInUse());
  {
    FakeButton fake;
    auto connection = fake.Adapter()->ConnectClick([](auto&, bool&) {});
    EXPECT_TRUE(com::ModuleInUse());
  }
  EXPECT_FALSE(com::ModuleInUse());
}

TEST(ClickSink, AControlWithoutClickEventsCannotBeConnected) {
  auto popup = FakeObject::Create(Type());
  try {
    com::MakeCommandBarControl(
        com::DispatchObject(popup.get(), std::make_shared<com::TypeCatalog>()))
        ->ConnectClick([](auto&, bool&) {});
    ADD_FAILURE() << "connected";
  } catch (const host::HostError& e) {
    EXPECT_EQ(e.hresult(), E_NOINTERFACE);
  }
  EXPECT_EQ(popup->references(), 1u);  // nothing kept hold of it
}

}  // namespace
}  // namespace morvane::test
