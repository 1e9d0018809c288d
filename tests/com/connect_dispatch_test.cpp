// Connect inside the built DLL, reached as Office reaches it: the class object, QueryInterface,
// and the ribbon callback found by name through IDispatch and invoked with DISPPARAMS.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <regex>
#include <string>

#include "addin/com/base/bstr.h"
#include "addin/com/base/com_ptr.h"
#include "addin/com/base/variant.h"
#include "addin/com/generated_interfaces.h"
#include "addin/com/identity.h"
#include "addin/model/errors.h"
#include "addin/win32/wide_text.h"
#include "com/morvane_dll.h"
#include "support/fake_dispatch.h"

namespace morvane::com {
namespace {

using testing_dll::MorvaneDll;

constexpr DISPID kRibbonHandler = 0x100;

// A ribbon control whose Id reads as id.
ComPtr<fakes::FakeObject> Control(const char16_t* id) {
  auto control = fakes::FakeObject::Create(fakes::Members({u"Id"}));
  control->Set(u"Id", Variant::of_string(id));
  return control;
}

class ConnectDispatchTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(MorvaneDll::Get().module(), nullptr) << "Morvane.dll was not found";
    connect_ = MorvaneDll::Get().Create<IUnknown>(kClsidConnect, IID_IUnknown);
    ASSERT_TRUE(connect_);
    ASSERT_EQ(connect_->QueryInterface(IID_IDispatch, dispatch_.put_void()), S_OK);
  }

  DISPID IdOf(const wchar_t* name) {
    DISPID id = 0x7EADBEEF;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    const HRESULT hr = dispatch_->GetIDsOfNames(IID_NULL, names, 1, 0x0409, &id);
    return SUCCEEDED(hr) ? id : DISPID_UNKNOWN;
  }

  HRESULT InvokeHandler() { return InvokeHandlerWith({}); }
  HRESULT InvokeHandler(const Variant& control) { return InvokeHandlerWith({*control.get()}); }

  // Invokes RibbonHandler with the arguments (borrowed, in call order) and keeps what came back.
  HRESULT InvokeHandlerWith(std::vector<VARIANT> args) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    result_.reset();
    V_VT(result_.get()) = VT_I4;  // a sentinel the call must not disturb on failure
    V_I4(result_.get()) = static_cast<LONG>(0xDEADBEEF);
    exception_ = EXCEPINFO{};
    argumentError_ = 0xDEADBEEF;
    const HRESULT hr = dispatch_->Invoke(kRibbonHandler, IID_NULL, 0x0409, DISPATCH_METHOD, &params,
                                         result_.get(), &exception_, &argumentError_);
    description_.reset(exception_.bstrDescription);
    source_.reset(exception_.bstrSource);
    helpFile_.reset(exception_.bstrHelpFile);
    return hr;
  }

  ComPtr<IUnknown> connect_;
  ComPtr<IDispatch> dispatch_;
  Variant result_;
  EXCEPINFO exception_{};
  UINT argumentError_ = 0;
  Bstr description_;
  Bstr source_;
  Bstr helpFile_;
};

TEST_F(ConnectDispatchTest, AnswersEveryInterfaceWithOneIdentity) {
  ComPtr<IUnknown> again;
  ASSERT_EQ(dispatch_->QueryInterface(IID_IUnknown, again.put_void()), S_OK);
  EXPECT_EQ(again.get(), connect_.get());
  // Office asks the object that gave it IRibbonExtensibility for the IDispatch that finds
  // RibbonHandler: every part must answer with _Connect's.
  for (const IID* iid : {&IID_IDTExtensibility2, &IID_IRibbonExtensibility, &IID__Connect,
                         &IID_ISupportErrorInfo, &IID_IDispatch}) {
    ComPtr<IUnknown> part;
    ASSERT_EQ(connect_->QueryInterface(*iid, part.put_void()), S_OK);
    ComPtr<IUnknown> identity;
    ASSERT_EQ(part->QueryInterface(IID_IUnknown, identity.put_void()), S_OK);
    EXPECT_EQ(identity.get(), connect_.get());
    ComPtr<IDispatch> callbacks;
    ASSERT_EQ(part->QueryInterface(IID_IDispatch, callbacks.put_void()), S_OK);
    EXPECT_EQ(callbacks.get(), dispatch_.get());
  }
  ComPtr<IUnknown> none;
  EXPECT_EQ(connect_->QueryInterface(IID_IClassFactory, none.put_void()), E_NOINTERFACE);
  EXPECT_FALSE(none);
  EXPECT_EQ(connect_->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

TEST_F(ConnectDispatchTest, FindsItsMembersByNameInAnyLetterCase) {
  const struct {
    const wchar_t* name;
    DISPID id;
  } cases[] = {
      {L"RibbonHandler", 0x100}, {L"ribbonhandler", 0x100},        {L"remMenuBar", 0x101},
      {L"TarvelMB_Add", 0x102},  {L"GetCustomUI", DISPID_UNKNOWN},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IdOf(c.name), c.id) << std::string(c.name, c.name + wcslen(c.name));
  }
  DISPID id = 0x7EADBEEF;
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"NoSuchMember")};
  EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(id, DISPID_UNKNOWN);
  EXPECT_EQ(dispatch_->GetIDsOfNames(IID_IUnknown, names, 1, 0, &id), DISP_E_UNKNOWNINTERFACE);
}

TEST_F(ConnectDispatchTest, EveryCallbackTheRibbonMarkupNamesResolves) {
  std::ifstream file(std::filesystem::path(MorvaneDll::Get().folder() + L"MorvaneRibbon.xml"),
                     std::ios::binary);
  ASSERT_TRUE(file.is_open());
  const std::string markup{std::istreambuf_iterator<char>(file), {}};
  // Every callback attribute the markup may use names a member Office looks up by name.
  const std::regex callback(R"re(\b(on[A-Z]\w*|get[A-Z]\w*)="([^"]*)")re");
  int found = 0;
  for (auto it = std::sregex_iterator(markup.begin(), markup.end(), callback);
       it != std::sregex_iterator(); ++it, ++found) {
    const std::string name = (*it)[2];
    EXPECT_NE(IdOf(win32::WideFromUtf8(name).c_str()), DISPID_UNKNOWN) << name;
  }
  EXPECT_GT(found, 0);
}

TEST_F(ConnectDispatchTest, ExposesTheTypeInformationOfConnectsOwnInterface) {
  UINT count = 0;
  ASSERT_EQ(dispatch_->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(dispatch_->GetTypeInfo(0, 0, info.put()), S_OK);
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
  EXPECT_TRUE(IsEqualGUID(attributes->guid, IID__Connect));
  info->ReleaseTypeAttr(attributes);
  EXPECT_EQ(dispatch_->GetTypeInfo(1, 0, info.put()), DISP_E_BADINDEX);
  EXPECT_FALSE(info);
}

TEST_F(ConnectDispatchTest, RibbonHandlerReadsTheControlsIdOnceInEnglish) {
  const auto control = Control(u"mvSomethingElse");
  EXPECT_EQ(InvokeHandler(Variant::of_dispatch(control.get())), S_OK);
  ASSERT_EQ(control->calls().size(), 1u);
  EXPECT_EQ(control->LastCall().flags & DISPATCH_PROPERTYGET, DISPATCH_PROPERTYGET);
  EXPECT_EQ(control->LastCall().lcid, 0x0409u);
  result_.reset();
  EXPECT_EQ(control->references(), 1u);  // the handler kept no reference
}

TEST_F(ConnectDispatchTest, ACommandsFailureReachesTheHostAsAnException) {
  // Not connected: undo reaches for the host and fails as an empty object reference does.
  EXPECT_EQ(InvokeHandler(Variant::of_dispatch(Control(u"mvUndo").get())), DISP_E_EXCEPTION);
  EXPECT_EQ(exception_.scode, errors::kObjectNotSet);
  EXPECT_EQ(description_.view(), L"Object variable or With block variable not set");
  EXPECT_EQ(source_.view(), L"Morvane");
  EXPECT_EQ(result_.vt(), VT_I4);
  EXPECT_EQ(V_I4(result_.get()), static_cast<LONG>(0xDEADBEEF));
}

TEST_F(ConnectDispatchTest, AControlWhoseIdCannotBeReadFailsWithTheControlsError) {
  const auto control = Control(u"");
  control->On(u"Id", [](const fakes::FakeCall&, VARIANT*, EXCEPINFO* exception) {
    exception->scode = static_cast<HRESULT>(0x800A01A8);
    exception->bstrDescription = SysAllocString(L"Object required");
    return DISP_E_EXCEPTION;
  });
  EXPECT_EQ(InvokeHandler(Variant::of_dispatch(control.get())), DISP_E_EXCEPTION);
  EXPECT_EQ(exception_.scode, static_cast<HRESULT>(0x800A01A8));
  EXPECT_EQ(description_.view(), L"Object required");

  // Nothing instead of a control.
  EXPECT_EQ(InvokeHandler(Variant::of_dispatch(nullptr)), DISP_E_EXCEPTION);
  EXPECT_EQ(exception_.scode, errors::kObjectNotSet);
}

TEST_F(ConnectDispatchTest, WrongArgumentsAreRefusedBeforeTheHandlerRuns) {
  EXPECT_EQ(InvokeHandler(), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(argumentError_, 0xDEADBEEFu);
  EXPECT_EQ(InvokeHandler(Variant::of_string(u"mvUndo")), DISP_E_TYPEMISMATCH);
  // Windows names the argument at fault (index 0); Wine 8 leaves puArgErr as it was.
  EXPECT_TRUE(argumentError_ == 0u || argumentError_ == 0xDEADBEEFu) << argumentError_;
  EXPECT_EQ(V_I4(result_.get()), static_cast<LONG>(0xDEADBEEF));

  DISPPARAMS none{};
  EXPECT_EQ(dispatch_->Invoke(kRibbonHandler, IID_IUnknown, 0, DISPATCH_METHOD, &none, nullptr,
                              nullptr, nullptr),
            DISP_E_UNKNOWNINTERFACE);
  EXPECT_EQ(
      dispatch_->Invoke(0x7777, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
      DISP_E_MEMBERNOTFOUND);
}

// A hostile or careless caller's null pointer is answered, never followed.
TEST_F(ConnectDispatchTest, EveryNullPointerArgumentIsAnswered) {
  LPOLESTR name[] = {const_cast<LPOLESTR>(L"RibbonHandler")};
  LPOLESTR noName[] = {nullptr};
  DISPID id = 0;
  Variant argument = Variant::of_dispatch(nullptr);
  DISPPARAMS noArguments{nullptr, nullptr, 1, 0};
  DISPPARAMS noNames{argument.get(), nullptr, 1, 1};
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(MorvaneDll::Get().GetClassObject(kClsidConnect, IID_IClassFactory, factory.put_void()),
            S_OK);
  const struct {
    const char* call;
    std::function<HRESULT()> run;
  } cases[] = {
      {"GetIDsOfNames names",
       [&] { return dispatch_->GetIDsOfNames(IID_NULL, nullptr, 1, 0, &id); }},
      {"GetIDsOfNames ids",
       [&] { return dispatch_->GetIDsOfNames(IID_NULL, name, 1, 0, nullptr); }},
      {"GetIDsOfNames a name",
       [&] { return dispatch_->GetIDsOfNames(IID_NULL, noName, 1, 0, &id); }},
      {"Invoke DISPPARAMS",
       [&] {
         return dispatch_->Invoke(kRibbonHandler, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr,
                                  nullptr, nullptr);
       }},
      {"Invoke arguments",
       [&] {
         return dispatch_->Invoke(kRibbonHandler, IID_NULL, 0, DISPATCH_METHOD, &noArguments,
                                  nullptr, nullptr, nullptr);
       }},
      {"Invoke argument names",
       [&] {
         return dispatch_->Invoke(kRibbonHandler, IID_NULL, 0, DISPATCH_METHOD, &noNames, nullptr,
                                  nullptr, nullptr);
       }},
      {"GetTypeInfoCount", [&] { return dispatch_->GetTypeInfoCount(nullptr); }},
      {"GetTypeInfo", [&] { return dispatch_->GetTypeInfo(0, 0, nullptr); }},
      {"CreateInstance", [&] { return factory->CreateInstance(nullptr, IID_IUnknown, nullptr); }},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.run(), E_POINTER) << c.call;
  }
}

TEST_F(ConnectDispatchTest, TheVtableCallerGetsTheHResultAndAnErrorObject) {
  ComPtr<_Connect> direct;
  ASSERT_EQ(connect_->QueryInterface(IID__Connect, direct.put_void()), S_OK);
  SetErrorInfo(0, nullptr);
  EXPECT_EQ(direct->RibbonHandler(nullptr), errors::kObjectNotSet);
  ComPtr<ISupportErrorInfo> supports;
  ASSERT_EQ(connect_->QueryInterface(IID_ISupportErrorInfo, supports.put_void()), S_OK);
  EXPECT_EQ(supports->InterfaceSupportsErrorInfo(IID__Connect), S_OK);
  EXPECT_EQ(supports->InterfaceSupportsErrorInfo(IID_IClassFactory), S_FALSE);
  ComPtr<IErrorInfo> info;
  ASSERT_EQ(GetErrorInfo(0, info.put()), S_OK);
  Bstr description;
  info->GetDescription(description.put());
  EXPECT_EQ(description.view(), L"Object variable or With block variable not set");
}

// Exit from the ribbon: the host disconnects the add-in and drops the object (its last reference)
// while RibbonHandler is still on the stack. The object, the type information its Invoke is
// running through, and with them the module, must outlive the call.
TEST(ConnectExitTest, TheObjectOutlivesTheCallDuringWhichItsLastReferenceGoes) {
  const MorvaneDll& dll = MorvaneDll::Get();
  ASSERT_EQ(dll.CanUnloadNow(), S_OK);
  IDispatch* connect = dll.Create<IDispatch>(kClsidConnect, IID_IDispatch).release();
  ASSERT_NE(connect, nullptr);
  const auto control = Control(u"");
  HRESULT unloadableDuringCall = E_FAIL;
  control->On(u"Id", [&](const fakes::FakeCall&, VARIANT* result, EXCEPINFO*) {
    connect->Release();
    unloadableDuringCall = dll.CanUnloadNow();
    return VariantCopy(result, Variant::of_string(u"mvNone").get());
  });
  Variant argument = Variant::of_dispatch(control.get());
  DISPPARAMS params{argument.get(), nullptr, 1, 0};
  EXPECT_EQ(connect->Invoke(kRibbonHandler, IID_NULL, 0x0409, DISPATCH_METHOD, &params, nullptr,
                            nullptr, nullptr),
            S_OK);
  EXPECT_EQ(unloadableDuringCall, S_FALSE);
  EXPECT_EQ(dll.CanUnloadNow(), S_OK);  // and gone once the call returned
}

}  // namespace
}  // namespace morvane::com
