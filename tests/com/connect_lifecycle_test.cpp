// Connect's connection to the host and the DLL's lifetime, inside the built DLL: what it asks of
// the object Excel hands over, that it always answers the host with success, and when COM may
// unload it.

#include <gtest/gtest.h>

#include <algorithm>

#include "addin/com/base/com_ptr.h"
#include "addin/com/generated_interfaces.h"
#include "addin/com/identity.h"
#include "com/morvane_dll.h"
#include "support/fake_dispatch.h"

namespace morvane::com {
namespace {

using testing_dll::MorvaneDll;

class ConnectLifecycleTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(MorvaneDll::Get().module(), nullptr) << "Morvane.dll was not found";
    extensibility_ =
        MorvaneDll::Get().Create<IDTExtensibility2>(kClsidConnect, IID_IDTExtensibility2);
    ASSERT_TRUE(extensibility_);
  }

  // Runs a _Connect member through IDispatch, as a macro would.
  HRESULT Run(const wchar_t* member) {
    ComPtr<IDispatch> dispatch;
    extensibility_->QueryInterface(IID_IDispatch, dispatch.put_void());
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(member)};
    if (HRESULT hr = dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id); FAILED(hr))
      return hr;
    DISPPARAMS none{};
    EXCEPINFO exception{};
    const HRESULT hr =
        dispatch->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, &exception, nullptr);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrHelpFile);
    return hr;
  }

  // An object with a Version, as the add-in reads it from Excel.
  static ComPtr<fakes::FakeObject> Host(const char16_t* version) {
    auto host = fakes::FakeObject::Create(fakes::Members({u"Version"}));
    host->Set(u"Version", Variant::of_string(version));
    return host;
  }

  ComPtr<IDTExtensibility2> extensibility_;
};

TEST_F(ConnectLifecycleTest, AnObjectThatIsNotExcelLeavesTheAddInConnectedWithoutAHost) {
  const auto notExcel = Host(u"11.0");
  EXPECT_EQ(extensibility_->OnConnection(notExcel.get(), ext_cm_Startup, nullptr, nullptr), S_OK);
  // It was asked whether it is Excel's _Application, and nothing more.
  EXPECT_TRUE(std::any_of(notExcel->queried.begin(), notExcel->queried.end(),
                          [](const IID& iid) { return IsEqualIID(iid, kIidExcelApplication); }));
  EXPECT_TRUE(notExcel->type().lookups.empty());
  EXPECT_EQ(notExcel->references(), 1u);
  // Without a host the menu builder fails quietly and the remover reports the failure.
  EXPECT_EQ(Run(L"TarvelMB_Add"), S_OK);
  EXPECT_EQ(Run(L"remMenuBar"), DISP_E_EXCEPTION);
  EXPECT_EQ(extensibility_->OnDisconnection(ext_dm_HostShutdown, nullptr), S_OK);
  // Nothing at all is handled the same way.
  EXPECT_EQ(extensibility_->OnConnection(nullptr, ext_cm_AfterStartup, nullptr, nullptr), S_OK);
  EXPECT_EQ(extensibility_->OnDisconnection(ext_dm_UserClosed, nullptr), S_OK);
}

TEST_F(ConnectLifecycleTest, ExcelIsHandedToTheAddInAndReleasedAtDisconnection) {
  for (const char16_t* version : {u"16.0", u"11.0"}) {
    SCOPED_TRACE(version[1] == u'6' ? "later host" : "classic host");
    const auto excel = Host(version);
    excel->Expose(kIidExcelApplication);
    EXPECT_EQ(extensibility_->OnConnection(excel.get(), ext_cm_Startup, nullptr, nullptr), S_OK);
    EXPECT_TRUE(excel->Called(u"Version"));
    EXPECT_TRUE(std::all_of(excel->calls().begin(), excel->calls().end(),
                            [](const fakes::FakeCall& call) { return call.lcid == 0x0409; }));
    EXPECT_GT(excel->references(), 1u);  // held as xlApp
    // A classic host gets its menu: the builder reaches for the command bars (which this fake
    // lacks, so each step fails quietly); a later host's command bars are not touched.
    EXPECT_EQ(excel->type().lookups.contains(u"CommandBars"), version[1] == u'1');
    EXPECT_EQ(extensibility_->OnDisconnection(ext_dm_HostShutdown, nullptr), S_OK);
    EXPECT_EQ(excel->references(), 1u);
  }
}

TEST(DllLifetimeTest, CanUnloadOnlyWhenNoObjectAndNoLockRemains) {
  const MorvaneDll& dll = MorvaneDll::Get();
  ASSERT_NE(dll.module(), nullptr);
  ASSERT_EQ(dll.CanUnloadNow(), S_OK);
  {
    ComPtr<IUnknown> connect = dll.Create<IUnknown>(kClsidConnect, IID_IUnknown);
    ASSERT_TRUE(connect);
    EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);
  }
  EXPECT_EQ(dll.CanUnloadNow(), S_OK);

  ComPtr<IClassFactory> factory;
  ASSERT_EQ(dll.GetClassObject(kClsidConnect, IID_IClassFactory, factory.put_void()), S_OK);
  EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);  // the class object is an object too
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  factory.reset();
  EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);
  ASSERT_EQ(dll.GetClassObject(kClsidConnect, IID_IClassFactory, factory.put_void()), S_OK);
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  factory.reset();
  EXPECT_EQ(dll.CanUnloadNow(), S_OK);
}

TEST(DllLifetimeTest, TheClassObjectServesConnectAlone) {
  const MorvaneDll& dll = MorvaneDll::Get();
  ASSERT_NE(dll.module(), nullptr);
  void* out = reinterpret_cast<void*>(0xDEADBEEF);
  EXPECT_EQ(dll.GetClassObject(kClsidCbMorvane, IID_IClassFactory, &out),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(dll.GetClassObject(kClsidConnect, IID_IClassFactory, nullptr), E_POINTER);

  ComPtr<IClassFactory> factory;
  ASSERT_EQ(dll.GetClassObject(kClsidConnect, IID_IClassFactory, factory.put_void()), S_OK);
  fakes::CountingUnknown outer;
  out = reinterpret_cast<void*>(0xDEADBEEF);
  EXPECT_EQ(factory->CreateInstance(&outer, IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  factory.reset();
  EXPECT_EQ(dll.CanUnloadNow(), S_OK);  // the refused instance did not linger
}

}  // namespace
}  // namespace morvane::com
