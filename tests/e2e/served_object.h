#pragma once

// The base of every Excel and Office object the simulated Excel serves through IDispatch: a
// name table per class (case-insensitive, with Excel's DISPIDs where they are known), named and
// positional arguments as Automation passes them, property puts through DISPID_PROPERTYPUT,
// and host errors answered as DISP_E_EXCEPTION with an EXCEPINFO, as Excel answers them.

#include <windows.h>

#include <oleauto.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "addin/com/base/com_object.h"
#include "addin/com/base/com_ptr.h"
#include "addin/com/base/variant.h"
#include "tests/e2e/served_host.h"

namespace morvane::e2e {

// A call refused before the host is reached: the HRESULT Invoke returns as it is, and the index
// in rgvarg of the argument it concerns, when there is one.
struct DispatchFault {
  HRESULT hr;
  int argIndex = -1;
};

inline constexpr std::size_t kMaxParams = 6;
using ParamNames = std::array<const wchar_t*, kMaxParams>;

// The arguments of one Invoke, by declared parameter.
class Call {
 public:
  Call(const DISPPARAMS& params, const ParamNames& names, bool isPut, VARIANT* result);

  // The declared parameter `i` (0-based), or nullptr when the caller left it out (absent, or
  // VT_ERROR with DISP_E_PARAMNOTFOUND). VT_BYREF arguments are followed.
  const VARIANT* Arg(std::size_t i) const;
  std::optional<std::int32_t> IntArg(std::size_t i) const;
  std::optional<bool> BoolArg(std::size_t i) const;
  std::optional<std::u16string> TextArg(std::size_t i) const;
  // An object argument: nullptr for Nothing; DISP_E_TYPEMISMATCH for anything else but an object.
  IDispatch* ObjectArg(std::size_t i) const;
  // The same, when the caller must give the argument (DISP_E_PARAMNOTFOUND otherwise).
  std::int32_t NeedInt(std::size_t i) const;
  // A collection's Item index that must be a name: `collection` names the collection when it
  // is given anything else, which is not modelled.
  std::u16string NameArg(std::size_t i, const char16_t* collection) const;

  // The value of a property put.
  const VARIANT& PutValue() const;
  std::int32_t PutInt() const;
  bool PutBool() const;
  std::u16string PutText() const;

  // Hands the result to the caller (who may have passed no result VARIANT).
  void Return(com::Variant value);
  void ReturnObject(com::ComPtr<IDispatch> object);  // Nothing when empty
  void ReturnText(const std::u16string& text);

  // The argument's position in rgvarg, for puArgErr.
  int RgIndex(std::size_t i) const { return rgIndex_[i]; }

 private:
  com::Variant Converted(const VARIANT& value, VARTYPE type, int rgIndex) const;

  std::vector<const VARIANT*> args_;
  std::vector<int> rgIndex_;
  const VARIANT* putValue_ = nullptr;
  int putIndex_ = -1;
  VARIANT* result_;
};

// Refuses what this simulator does not model, so that a test fails loudly instead of passing
// against behaviour Excel does not have.
[[noreturn]] void NotModelled(const std::u16string& what);

class ServedObject;

// One member of a served class. The handlers are null where the member cannot be read (or
// called) or written.
struct Member {
  const wchar_t* name;
  DISPID id;
  ParamNames params{};
  void (*get)(ServedObject&, Call&) = nullptr;
  void (*put)(ServedObject&, Call&) = nullptr;
};

namespace detail {
template <class>
struct MethodClass;
template <class C>
struct MethodClass<void (C::*)(Call&)> {
  using type = C;
};
}  // namespace detail

// Turns a member function of a served class into a table handler.
template <auto Method>
void Bind(ServedObject& object, Call& call) {
  using Self = typename detail::MethodClass<decltype(Method)>::type;
  (static_cast<Self&>(object).*Method)(call);
}

// {8F0C1E52-4D7B-4C39-9A36-6B1E2F7A9D01}: answered only by served objects, so that an object the
// add-in hands back (a Range passed to Intersect, a sheet passed to Copy) can be recognised.
inline constexpr IID kServedObjectIid = {
    0x8f0c1e52, 0x4d7b, 0x4c39, {0x9a, 0x36, 0x6b, 0x1e, 0x2f, 0x7a, 0x9d, 0x01}};

// Counts one live object served to the add-in for as long as it exists.
class LiveToken {
 public:
  LiveToken();
  ~LiveToken();
  LiveToken(const LiveToken&) = delete;
  LiveToken& operator=(const LiveToken&) = delete;
};

// A COM object dies in its own Release, never through an interface: no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class ServedObject : public IDispatch {
 public:
  ServedObject(const ServedObject&) = delete;
  ServedObject& operator=(const ServedObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

  // Served objects alive in this process: zero once every reference is released.
  static long Live();

  // The served object behind an interface pointer, or nullptr for anything else.
  static ServedObject* From(IUnknown* unknown);

  const wchar_t* ClassName() const { return className_; }

 protected:
  ServedObject(std::shared_ptr<ServedHost> host, const wchar_t* className,
               std::span<const Member> members);
  virtual ~ServedObject();

  // Interfaces beyond IUnknown and IDispatch: the pointer to hand out, or nullptr.
  virtual void* ExtraInterface(REFIID iid);

  ServedHost& Host() const { return *host_; }
  const std::shared_ptr<ServedHost>& SharedHost() const { return host_; }

 private:
  const Member* Find(DISPID id) const;

  LiveToken live_;
  std::atomic<ULONG> refs_{1};
  std::shared_ptr<ServedHost> host_;
  const wchar_t* className_;
  std::span<const Member> members_;
};
#pragma GCC diagnostic pop

// Creates a served object (whose first reference the holder takes).
template <class T, class... Args>
com::ComPtr<IDispatch> Serve(Args&&... args) {
  com::ComPtr<IDispatch> out;
  out.reset(new T(std::forward<Args>(args)...));
  return out;
}

// A BSTR's text; null is the empty text.
std::u16string Utf16(BSTR text);

}  // namespace morvane::e2e
