// The scenario's checks: what Excel, the workbook, the menu bar, the ribbon and the shell show
// after the add-in has acted.

#include <cstdio>
#include <optional>
#include <stdexcept>

#include "hostsim/excel.h"
#include "tests/e2e/harness_text.h"
#include "tests/e2e/scenario_values.h"
#include "tests/e2e/session.h"
#include "tests/e2e/session_words.h"

namespace morvane::e2e {
namespace {

constexpr DWORD kBrowseWaitMs = 10000;

std::string Visibility(int visibility) {
  switch (visibility) {
    case sim::kSheetHidden:
      return "(hidden)";
    case sim::kSheetVeryHidden:
      return "(veryhidden)";
    default:
      return "";
  }
}

bool TrueFalse(const std::string& text, const std::string& what) {
  if (text == "true") {
    return true;
  }
  if (text == "false") {
    return false;
  }
  throw std::invalid_argument(what + " is true or false");
}

// The markup file's bytes read through the ANSI code page, as the add-in reads them.
std::u16string AnsiFile(const std::wstring& path, bool* exists) {
  FILE* file = _wfopen(path.c_str(), L"rb");
  *exists = file != nullptr;
  if (file == nullptr) {
    return {};
  }
  std::string bytes;
  for (int c; (c = std::fgetc(file)) != EOF;) {
    bytes += static_cast<char>(c);
  }
  std::fclose(file);
  return win32::FromAnsiCodePage(bytes);
}

}  // namespace

void Session::Expect(const ScenarioLine& line) {
  const std::string& what = line.words[0].text;
  const std::vector<Word> w(line.words.begin() + 1, line.words.end());
  const auto need = [&](std::size_t n) {
    if (w.size() < n) {
      throw std::invalid_argument("expect " + what + " needs " + std::to_string(n) + " words");
    }
  };
  const auto value = [&](const Word& word) {
    const auto parsed = ParseCellValue(word);
    if (!parsed) {
      throw std::invalid_argument("'" + word.text + "' is no cell value");
    }
    return *parsed;
  };

  if (what == "cell" || what == "cells") {
    need(3);
    const host::CellValue expected = value(w[2]);
    int wrong = 0;
    for (const std::string& cell : Cells(w[1].text)) {
      const host::CellValue actual = excel_->Cell(U16(w[0]), cell).value;
      if (actual != expected && ++wrong <= 3) {
        Fail(w[0].text + "!" + cell + " is " + FormatCellValue(actual) + ", expected " +
             FormatCellValue(expected));
      }
    }
    if (wrong > 3) {
      Fail("and " + std::to_string(wrong - 3) + " more cells differ");
    }
  } else if (what == "formula") {
    need(3);
    const sim::CellContent cell = excel_->Cell(U16(w[0]), w[1].text);
    if (cell.formula != U16(w[2])) {
      Fail(w[0].text + "!" + w[1].text + " has the formula \"" + Utf16ToUtf8(cell.formula) +
           "\", expected \"" + w[2].text + "\"");
    }
  } else if (what == "sheets") {
    std::string actual;
    for (const std::u16string& name : excel_->SheetNames()) {
      if (!actual.empty()) {
        actual += ' ';
      }
      actual.append(Utf16ToUtf8(name)).append(Visibility(excel_->SheetVisibility(name)));
    }
    if (actual != line.TextFrom(1)) {
      Fail("the sheets are " + actual + ", expected " + line.TextFrom(1));
    }
  } else if (what == "active") {
    need(1);
    if (excel_->ActiveSheetName() != U16(w[0])) {
      Fail("the active sheet is " + Utf16ToUtf8(excel_->ActiveSheetName()));
    }
  } else if (what == "menu" || what == "no-menu") {
    // "expect menu &Morvane: A | B | C": one such popup, last on the bar, permanent, with a
    // separator before it, holding exactly these buttons in this order.
    const std::string text = line.TextFrom(1);
    const std::size_t colon = text.find(':');
    const std::u16string caption = Utf8ToUtf16(text.substr(0, colon));
    const std::vector<sim::ControlView> bar = excel_->BarControls(kMenuBar);
    std::vector<const sim::ControlView*> found;
    for (const sim::ControlView& control : bar) {
      if (control.caption == caption) {
        found.push_back(&control);
      }
    }
    if (what == "no-menu") {
      if (!found.empty()) {
        Fail("the menu bar still holds " + std::to_string(found.size()) + " " +
             Utf16ToUtf8(caption));
      }
      return;
    }
    if (found.size() != 1) {
      Fail("the menu bar holds " + std::to_string(found.size()) + " " + Utf16ToUtf8(caption));
      return;
    }
    const sim::ControlView& popup = *found[0];
    if (&popup != &bar.back() || popup.type != host::kControlPopup || !popup.visible ||
        !popup.beginGroup || popup.temporary || popup.tag != u"Morvane.Connect") {
      Fail("the popup is not a last, visible, permanent, grouped popup tagged Morvane.Connect");
    }
    if (colon != std::string::npos) {
      std::string actual;
      for (const sim::ControlView& button : popup.controls) {
        actual += (actual.empty() ? "" : " | ") + Utf16ToUtf8(button.caption);
      }
      std::string expected = text.substr(colon + 1);
      expected.erase(0, expected.find_first_not_of(' '));
      if (actual != expected) {
        Fail("the popup holds " + actual + "; expected " + expected);
      }
    }
  } else if (what == "button") {
    // "expect button &Morvane / Undo Changes  tag=mvUndo face=128 style=3 group=no param="
    std::string path;
    std::vector<std::pair<std::string, std::string>> properties;
    for (const Word& word : w) {
      const std::size_t eq = word.text.find('=');
      if (!word.quoted && eq != std::string::npos) {
        properties.emplace_back(word.text.substr(0, eq), word.text.substr(eq + 1));
      } else {
        path += (path.empty() ? "" : " ") + word.text;
      }
    }
    // Walk the captions down from the bar.
    std::vector<sim::ControlView> level = excel_->BarControls(kMenuBar);
    std::optional<sim::ControlView> control;
    for (const std::u16string& caption : CaptionPath(path)) {
      control.reset();
      for (const sim::ControlView& candidate : level) {
        if (candidate.caption == caption) {
          control = candidate;
          break;
        }
      }
      if (!control) {
        Fail("no control " + path);
        return;
      }
      level = control->controls;
    }
    for (const auto& [key, expected] : properties) {
      std::string actual;
      if (key == "tag") {
        actual = Utf16ToUtf8(control->tag);
      } else if (key == "face") {
        actual = std::to_string(control->faceId);
      } else if (key == "style") {
        actual = std::to_string(control->style);
      } else if (key == "type") {
        actual = std::to_string(control->type);
      } else if (key == "param") {
        actual = Utf16ToUtf8(control->parameter);
      } else if (key == "group") {
        actual = control->beginGroup ? "yes" : "no";
      } else if (key == "temporary") {
        actual = control->temporary ? "yes" : "no";
      } else {
        throw std::invalid_argument("a button has no property " + key);
      }
      if (actual != expected) {
        Fail(path + ": " + key + " is " + actual + ", expected " + expected);
      }
    }
  } else if (what == "connected") {
    need(1);
    const bool expected = TrueFalse(w[0].text, "connected");
    const bool listed = excel_->ComAddInConnected(u"Morvane.Connect");
    if (listed != expected || connected_ != expected) {
      Fail(std::string("the add-in is ") + (listed ? "" : "not ") + "connected in COMAddIns" +
           (connected_ ? ", connected to the harness" : ""));
    }
  } else if (what == "sinks") {
    need(1);
    if (excel_->LiveClickConnections() != std::stoi(w[0].text)) {
      Fail(std::to_string(excel_->LiveClickConnections()) + " Click connections are advised");
    }
  } else if (what == "calls") {
    need(2);
    const long count = host_->calls.Count(w[0].text);
    if (count != std::stol(w[1].text)) {
      Fail(w[0].text + " was called " + std::to_string(count) + " times");
    }
  } else if (what == "lcid") {
    need(1);
    const auto others = host_->calls.CalledWithOtherLocale(std::stoul(w[0].text));
    for (const std::string& member : others) {
      Fail(member + " was called with another locale");
    }
  } else if (what == "setting") {
    need(2);
    const sim::Settings& s = excel_->CurrentSettings();
    const std::string& name = w[0].text;
    std::string actual;
    if (name == "Calculation") {
      actual = std::to_string(s.calculation);
    } else if (name == "EnableCancelKey") {
      actual = std::to_string(s.enableCancelKey);
    } else if (name == "ScreenUpdating") {
      actual = s.screenUpdating ? "TRUE" : "FALSE";
    } else if (name == "DisplayAlerts") {
      actual = s.displayAlerts ? "TRUE" : "FALSE";
    } else if (name == "StatusBar") {
      actual = s.statusBarIsCustom ? Utf16ToUtf8(s.statusBar) : "<Excel's own>";
    } else {
      throw std::invalid_argument("no setting " + name);
    }
    if (actual != w[1].text) {
      Fail(name + " is " + actual + ", expected " + w[1].text);
    }
  } else if (what == "customui") {
    need(1);
    if (!markupFetched_) {
      Fail("the host never got markup");
      return;
    }
    bool exists = false;
    const std::u16string file =
        install_ ? AnsiFile(install_->DllFolder() + L"\\MorvaneRibbon.xml", &exists) : u"";
    if (w[0].text == "file") {
      if (!exists || markup_ != file || markup_.empty()) {
        Fail("GetCustomUI did not give the markup file's text");
      }
    } else if (w[0].text == "empty") {
      if (!markup_.empty()) {
        Fail("GetCustomUI gave markup");
      }
      if (!exists || !file.empty()) {
        Fail("no empty markup file beside the DLL");
      }
    } else {
      throw std::invalid_argument("customui is file or empty");
    }
  } else if (what == "browsed") {
    need(1);
    // "<dll>\\..." is a file in the folder the DLL was loaded from.
    std::wstring wanted = WideFromUtf8(w[0].text);
    if (wanted.starts_with(L"<dll>") && install_) {
      wanted = install_->DllFolder() + wanted.substr(5);
    }
    // A second word: opened that many times in all.
    const int times = w.size() > 1 ? std::stoi(w[1].text) : 1;
    if (!browser_ || !browser_->WaitFor(wanted, kBrowseWaitMs, times)) {
      std::string opened;
      for (const std::wstring& url : browser_ ? browser_->Opened() : std::vector<std::wstring>{}) {
        opened += ' ';  // not " " + ...: g++ 12 at -O3 warns about that wrongly
        opened += Utf8FromWide(url);
      }
      Fail("the shell was not asked to open " + w[0].text +
           "; opened:" + (opened.empty() ? " nothing" : opened));
    }
  } else {
    throw std::invalid_argument("nothing to expect called " + what);
  }
}

}  // namespace morvane::e2e
