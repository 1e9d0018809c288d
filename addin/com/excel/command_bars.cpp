// CommandBar, CommandBarControls and CommandBarControl over the Office library's objects.

#include "addin/com/excel/adapters.h"
#include "addin/com/excel/click_sink.h"
#include "addin/com/excel/result_values.h"

namespace morvane::com {
namespace {

class OfficeCommandBar final : public host::CommandBar, public DispatchBacked {
 public:
  using DispatchBacked::DispatchBacked;

  void SetVisible(bool visible) override {
    invoke(object_, u"Visible", kPut, Variant::of_bool(visible));
  }

  std::shared_ptr<host::CommandBarControls> Controls() override {
    return Wrapped(object_, object_.Invoke(u"Controls", kGet), u"Controls", MakeCommandBarControls);
  }
};

class OfficeCommandBarControls final : public host::CommandBarControls, public DispatchBacked {
 public:
  using DispatchBacked::DispatchBacked;

  // Add(Type, Id, Parameter, Before, Temporary), each one omitted when not given.
  std::shared_ptr<host::CommandBarControl> Add(const host::ControlAddArgs& args) override {
    const auto number = [](const std::optional<int>& value) -> Arg {
      return value ? Arg(Variant::of_int(*value)) : std::nullopt;
    };
    Arg parameter = args.parameter ? Arg(Variant::of_string(*args.parameter)) : std::nullopt;
    Arg temporary = args.temporary ? Arg(Variant::of_bool(*args.temporary)) : std::nullopt;
    return Wrapped(object_,
                   invoke(object_, u"Add", kCall, number(args.type), number(args.id),
                          std::move(parameter), number(args.before), std::move(temporary)),
                   u"Add", MakeCommandBarControl);
  }

  std::shared_ptr<host::CommandBarControl> Item(const std::u16string& caption) override {
    return Wrapped(object_, invoke(object_, u"Item", kCallOrGet, Variant::of_string(caption)),
                   u"Item", MakeCommandBarControl);
  }
};

class OfficeCommandBarControl final : public host::CommandBarControl, public DispatchBacked {
 public:
  using DispatchBacked::DispatchBacked;

  void SetCaption(const std::u16string& caption) override { PutText(u"Caption", caption); }
  std::u16string Tag() override { return TextOf(object_.Invoke(u"Tag", kGet), u"Tag"); }
  void SetTag(const std::u16string& tag) override { PutText(u"Tag", tag); }
  void SetFaceId(int faceId) override { invoke(object_, u"FaceId", kPut, Variant::of_int(faceId)); }
  void SetStyle(int style) override { invoke(object_, u"Style", kPut, Variant::of_int(style)); }
  void SetParameter(const std::u16string& parameter) override { PutText(u"Parameter", parameter); }
  void SetBeginGroup(bool beginGroup) override {
    invoke(object_, u"BeginGroup", kPut, Variant::of_bool(beginGroup));
  }
  void SetVisible(bool visible) override {
    invoke(object_, u"Visible", kPut, Variant::of_bool(visible));
  }
  void Delete() override { object_.Invoke(u"Delete", kCall); }

  std::shared_ptr<host::CommandBarControls> Controls() override {
    return Wrapped(object_, object_.Invoke(u"Controls", kGet), u"Controls", MakeCommandBarControls);
  }

  std::unique_ptr<host::EventConnection> ConnectClick(host::ClickHandler handler) override {
    return ConnectButtonClick(object_, std::move(handler));
  }

 private:
  void PutText(std::u16string_view member, const std::u16string& text) {
    invoke(object_, member, kPut, Variant::of_string(text));
  }
};

}  // namespace

std::shared_ptr<host::CommandBar> MakeCommandBar(DispatchObject object) {
  return std::make_shared<OfficeCommandBar>(std::move(object));
}

std::shared_ptr<host::CommandBarControls> MakeCommandBarControls(DispatchObject object) {
  return std::make_shared<OfficeCommandBarControls>(std::move(object));
}

std::shared_ptr<host::CommandBarControl> MakeCommandBarControl(DispatchObject object) {
  return std::make_shared<OfficeCommandBarControl>(std::move(object));
}

}  // namespace morvane::com
