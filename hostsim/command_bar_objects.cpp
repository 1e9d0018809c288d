// Command bars, their controls and the Click connections of buttons.

#include <algorithm>

#include "addin/model/errors.h"
#include "hostsim/state.h"

namespace morvane::sim {
namespace {

std::u16string WithoutAccelerators(const std::u16string& caption) {
  std::u16string out;
  for (char16_t c : caption) {
    if (c != u'&') {
      out += c;
    }
  }
  return out;
}

char16_t FoldAscii(char16_t c) {
  return (c >= u'a' && c <= u'z') ? c - u'a' + u'A' : c;
}

void MarkDeleted(ControlData& control) {
  control.deleted = true;
  for (const auto& child : control.children) {
    MarkDeleted(*child);
  }
}

// The connection of one handler; releasing it stops further clicks reaching the handler. A
// click being raised holds its own reference to the handler, so releasing the connection from
// inside the handler is safe.
class ClickConnection : public host::EventConnection {
 public:
  ClickConnection(std::shared_ptr<Excel::State> state, std::weak_ptr<ControlData> control,
                  std::shared_ptr<ClickSink> sink)
      : state_(std::move(state)), control_(std::move(control)), sink_(std::move(sink)) {}

  ~ClickConnection() override {
    if (!sink_->connected) {
      return;  // the host ended it already (a restart)
    }
    sink_->connected = false;
    std::erase(state_->clickSinks, sink_);
    if (const auto control = control_.lock()) {
      std::erase(control->sinks, sink_);
    }
  }

 private:
  std::shared_ptr<Excel::State> state_;
  std::weak_ptr<ControlData> control_;
  std::shared_ptr<ClickSink> sink_;
};

class ControlsObject : public host::CommandBarControls {
 public:
  ControlsObject(std::shared_ptr<Excel::State> state, std::shared_ptr<ControlData> owner)
      : state_(std::move(state)), owner_(std::move(owner)) {}

  std::shared_ptr<host::CommandBarControl> Add(const host::ControlAddArgs& args) override {
    state_->Enter("CommandBarControls.Add");
    ControlData& owner = Live();
    const int type = args.type.value_or(host::kControlButton);
    const bool creatable =
        type == host::kControlButton || type == host::kControlPopup || (type >= 2 && type <= 4);
    const std::size_t count = owner.children.size();
    if (!creatable ||
        (args.before && (*args.before < 1 || static_cast<std::size_t>(*args.before) > count + 1))) {
      throw errors::InvalidArgument();
    }
    auto control = std::make_shared<ControlData>();
    control->view.type = type;
    control->view.id = args.id.value_or(1);
    control->view.builtIn = control->view.id != 1;
    control->view.parameter = args.parameter.value_or(u"");
    control->view.temporary = args.temporary.value_or(false);
    control->parent = owner_;
    const std::size_t at = args.before ? static_cast<std::size_t>(*args.before) - 1 : count;
    owner.children.insert(owner.children.begin() + static_cast<std::ptrdiff_t>(at), control);
    return MakeControl(state_, control);
  }

  std::shared_ptr<host::CommandBarControl> Item(const std::u16string& caption) override {
    state_->Enter("CommandBarControls.Item");
    for (const auto& child : Live().children) {
      if (SameCaption(child->view.caption, caption)) {
        return MakeControl(state_, child);
      }
    }
    throw errors::InvalidArgument();
  }

 private:
  ControlData& Live() const {
    if (owner_->deleted) {
      throw errors::Unspecified();
    }
    return *owner_;
  }

  std::shared_ptr<Excel::State> state_;
  std::shared_ptr<ControlData> owner_;
};

class ControlObject : public host::CommandBarControl {
 public:
  ControlObject(std::shared_ptr<Excel::State> state, std::shared_ptr<ControlData> control)
      : state_(std::move(state)), control_(std::move(control)) {}

  void SetCaption(const std::u16string& caption) override {
    state_->Enter("CommandBarControl.SetCaption");
    Live().view.caption = caption;
  }

  std::u16string Tag() override {
    state_->Enter("CommandBarControl.Tag");
    return Live().view.tag;
  }

  void SetTag(const std::u16string& tag) override {
    state_->Enter("CommandBarControl.SetTag");
    Live().view.tag = tag;
  }

  void SetFaceId(int faceId) override {
    state_->Enter("CommandBarControl.SetFaceId");
    ButtonOnly();
    Live().view.faceId = faceId;
  }

  void SetStyle(int style) override {
    state_->Enter("CommandBarControl.SetStyle");
    ButtonOnly();
    Live().view.style = style;
  }

  void SetParameter(const std::u16string& parameter) override {
    state_->Enter("CommandBarControl.SetParameter");
    Live().view.parameter = parameter;
  }

  void SetBeginGroup(bool beginGroup) override {
    state_->Enter("CommandBarControl.SetBeginGroup");
    Live().view.beginGroup = beginGroup;
  }

  void SetVisible(bool visible) override {
    state_->Enter("CommandBarControl.SetVisible");
    Live().view.visible = visible;
  }

  void Delete() override {
    state_->Enter("CommandBarControl.Delete");
    Live();
    if (const auto parent = control_->parent.lock()) {
      std::erase(parent->children, control_);
    }
    MarkDeleted(*control_);
  }

  std::shared_ptr<host::CommandBarControls> Controls() override {
    state_->Enter("CommandBarControl.Controls");
    if (Live().view.type != host::kControlPopup) {
      throw errors::NoSuchMember();
    }
    return std::make_shared<ControlsObject>(state_, control_);
  }

  std::unique_ptr<host::EventConnection> ConnectClick(host::ClickHandler handler) override {
    state_->Enter("CommandBarControl.ConnectClick");
    ButtonOnly();
    auto sink = std::make_shared<ClickSink>();
    sink->handler = std::move(handler);
    control_->sinks.push_back(sink);
    state_->clickSinks.push_back(sink);
    return std::make_unique<ClickConnection>(state_, control_, std::move(sink));
  }

 private:
  ControlData& Live() const {
    if (control_->deleted) {
      throw errors::Unspecified();
    }
    return *control_;
  }

  void ButtonOnly() const {
    if (Live().view.type != host::kControlButton) {
      throw errors::NoSuchMember();
    }
  }

  std::shared_ptr<Excel::State> state_;
  std::shared_ptr<ControlData> control_;
};

class BarObject : public host::CommandBar {
 public:
  BarObject(std::shared_ptr<Excel::State> state, std::shared_ptr<BarData> bar)
      : state_(std::move(state)), bar_(std::move(bar)) {}

  void SetVisible(bool visible) override {
    state_->Enter("CommandBar.SetVisible");
    bar_->visible = visible;
  }

  std::shared_ptr<host::CommandBarControls> Controls() override {
    state_->Enter("CommandBar.Controls");
    return std::make_shared<ControlsObject>(state_, bar_->root);
  }

 private:
  std::shared_ptr<Excel::State> state_;
  std::shared_ptr<BarData> bar_;
};

std::shared_ptr<BarData> Bar(std::u16string name,
                             const std::vector<std::pair<std::u16string, int>>& popups = {}) {
  auto bar = std::make_shared<BarData>();
  bar->name = std::move(name);
  for (const auto& [caption, id] : popups) {
    auto popup = std::make_shared<ControlData>();
    popup->view.type = host::kControlPopup;
    popup->view.id = id;
    popup->view.caption = caption;
    popup->view.builtIn = true;
    popup->parent = bar->root;
    bar->root->children.push_back(std::move(popup));
  }
  return bar;
}

}  // namespace

bool SameCaption(const std::u16string& a, const std::u16string& b) {
  const std::u16string x = WithoutAccelerators(a);
  const std::u16string y = WithoutAccelerators(b);
  return std::equal(x.begin(), x.end(), y.begin(), y.end(),
                    [](char16_t l, char16_t r) { return FoldAscii(l) == FoldAscii(r); });
}

std::vector<std::shared_ptr<BarData>> BuiltInCommandBars() {
  return {
      Bar(u"Worksheet Menu Bar", {{u"&File", 30002},
                                  {u"&Edit", 30003},
                                  {u"&View", 30004},
                                  {u"&Insert", 30005},
                                  {u"F&ormat", 30006},
                                  {u"&Tools", 30007},
                                  {u"&Data", 30011},
                                  {u"&Window", 30009},
                                  {u"&Help", 30010}}),
      Bar(u"Chart Menu Bar", {{u"&File", 30002},
                              {u"&Edit", 30003},
                              {u"&View", 30004},
                              {u"&Insert", 30005},
                              {u"F&ormat", 30006},
                              {u"&Tools", 30007},
                              {u"&Chart", 30022},
                              {u"&Window", 30009},
                              {u"&Help", 30010}}),
      Bar(u"Standard"),
      Bar(u"Formatting"),
      Bar(u"Cell"),
  };
}

std::shared_ptr<host::CommandBar> MakeCommandBar(std::shared_ptr<Excel::State> state,
                                                 std::shared_ptr<BarData> bar) {
  return std::make_shared<BarObject>(std::move(state), std::move(bar));
}

std::shared_ptr<host::CommandBarControl> MakeControl(std::shared_ptr<Excel::State> state,
                                                     std::shared_ptr<ControlData> control) {
  return std::make_shared<ControlObject>(std::move(state), std::move(control));
}

}  // namespace morvane::sim
