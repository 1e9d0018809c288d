// Answers a real Excel may give within the Automation contracts, though the simulated Excel never
// does, played into a conversion and an undo through the IDispatch adapter: the end effect on the
// cells, the message and the copies is what the user is owed, and every object handed out is
// released exactly as often as it was referenced.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "addin/com/excel/excel_application.h"
#include "support/fake_dispatch.h"
#include "support/snapshot_simulated_excel.h"
#include "support/wizard_scripted_form.h"
#include "tests/e2e/served_excel.h"

namespace morvane::test {
namespace {

using namespace fakes;

constexpr int kCells = 100;

// The cell of row `row` in column A, as an A1 address.
std::string CellA(int row) {
  std::string a1 = "A";
  a1 += std::to_string(row);
  return a1;
}

HRESULT Nothing(const FakeCall&, VARIANT* result, EXCEPINFO*) {
  V_VT(result) = VT_DISPATCH;
  V_DISPATCH(result) = nullptr;
  return S_OK;
}

HRESULT NullReference(const FakeCall&, VARIANT* result, EXCEPINFO*) {
  V_VT(result) = VT_BSTR | VT_BYREF;
  V_BSTRREF(result) = nullptr;
  return S_OK;
}

HRESULT ReferenceToANullReference(const FakeCall& call, VARIANT* result, EXCEPINFO* info) {
  static VARIANT inner;
  NullReference(call, &inner, info);
  V_VT(result) = VT_VARIANT | VT_BYREF;
  V_VARIANTREF(result) = &inner;
  return S_OK;
}

std::function<void(MemberAnswers&)> Answer(const char16_t* member, FakeBehaviour answer,
                                           int nth = 0) {
  return [=](MemberAnswers& answers) { answers.On(member, answer, nth); };
}

std::function<void(MemberAnswers&)> Enumeration(NextScript script) {
  return [=](MemberAnswers& answers) { answers.enumeration = script; };
}

enum class Command { Convert, Undo };
// A failure of any kind, whatever its code.
constexpr std::int32_t kAnyFailure = 1;

struct AnswerCase {
  const char* what;
  Command command;  // an undo follows a conversion made before Excel answers so
  std::function<void(MemberAnswers&)> answer;
  // The end effect: cells holding the converted text; the end of the one message shown (none
  // when empty); the failure the command ends with (0: none); which copies exist.
  int converted;
  std::u16string message;
  std::int32_t failure;
  bool undoCopy;
  bool redoCopy;
};

const std::u16string kEveryCell = u"100 cells could not be changed!";
constexpr std::int32_t kNotSet = errors::kObjectNotSet;

const AnswerCase kCases[] = {
    {"Next: ten a call, with S_FALSE", Command::Convert, Enumeration({.most = 10}), kCells, u"", 0,
     true, false},
    {"Next: ten a call, with S_OK", Command::Convert, Enumeration({.most = 10, .hr = S_OK}), kCells,
     u"", 0, true, false},
    {"Next: one element a call", Command::Convert, Enumeration({.refusesBatches = true}), kCells,
     u"", 0, true, false},
    {"Next: pCeltFetched left unwritten", Command::Convert, Enumeration({.writesFetched = false}),
     kCells, u"", 0, true, false},
    // The cells' values come in one read of the block: refused, it leaves every cell as it was.
    {"Value: a null reference", Command::Convert, Answer(u"Value", NullReference, 1), 0, kEveryCell,
     0, true, false},
    {"Value: a reference to a null reference", Command::Convert,
     Answer(u"Value", ReferenceToANullReference, 1), 0, kEveryCell, 0, true, false},
    // An area read in bands takes as many cells as it holds, however many more are offered.
    {"Next: never ends", Command::Convert, Enumeration({.endless = true}), kCells, u"", 0, true,
     false},
    {"undo, Next: ten a call, with S_FALSE", Command::Undo, Enumeration({.most = 10}), 0, u"", 0,
     false, true},
    {"undo, Next: pCeltFetched left unwritten", Command::Undo,
     Enumeration({.writesFetched = false}), 0, u"", 0, false, true},
    {"undo, Sheets: Nothing", Command::Undo, Answer(u"Sheets", Nothing), kCells, u"", kNotSet, true,
     false},
    {"undo, Sheets.Item: Nothing", Command::Undo, Answer(u"Item", Nothing), kCells, u"", kNotSet,
     true, false},
    {"undo, UsedRange: Nothing", Command::Undo, Answer(u"UsedRange", Nothing), kCells, u"", kNotSet,
     true, false},
    {"undo, SpecialCells: Nothing", Command::Undo, Answer(u"SpecialCells", Nothing), kCells, u"",
     kNotSet, true, false},
    {"undo, Worksheet.Range: Nothing", Command::Undo, Answer(u"Range", Nothing), kCells, u"",
     kNotSet, true, false},
    {"undo, Value: a null reference", Command::Undo, Answer(u"Value", NullReference, 1), kCells,
     u"", errors::kTypeMismatch, true, false},
    {"undo, Next: never ends", Command::Undo, Enumeration({.endless = true}), 0, u"", 0, false,
     true},
};

// The failure a command ended with: 0 for none, a HostError's code, or kAnyFailure.
std::int32_t FailureOf(const std::function<void()>& command) {
  try {
    command();
  } catch (const host::HostError& error) {
    return error.hresult();
  } catch (...) {
    return kAnyFailure;
  }
  return 0;
}

// A simulated Excel with kCells texts selected on Sheet1, served through IDispatch behind the
// answers, and connected as the add-in's host through the adapter.
struct AnsweringExcel {
  AnsweringExcel() {
    excel->AddWorkbook({u"Sheet1"});
    for (int row = 1; row <= kCells; ++row) {
      excel->Put(u"Sheet1", CellA(row), std::u16string(u"abc"));
    }
    excel->Select("A1:" + CellA(kCells));
    ui::Install(messages);
    xlApp = com::WrapExcelApplication(root.get());
  }
  ~AnsweringExcel() {
    xlApp.reset();
    ui::Install(nullptr);
  }

  int Converted() const {
    int converted = 0;
    for (int row = 1; row <= kCells; ++row) {
      converted +=
          excel->Cell(u"Sheet1", CellA(row)).value == host::CellValue(std::u16string(u"ABC"));
    }
    return converted;
  }
  bool Exists(const std::u16string& sheet) const {
    const auto names = excel->SheetNames();
    return std::find(names.begin(), names.end(), sheet) != names.end();
  }

  std::shared_ptr<sim::Excel> excel = sim::Excel::Create();
  ComPtr<IDispatch> served = e2e::ServeApplication(std::make_shared<e2e::ServedHost>(excel));
  MemberAnswers answers;
  ComPtr<IDispatch> root = answers.Interpose(served.get());
  std::shared_ptr<RecordedMessages> messages = std::make_shared<RecordedMessages>();
  ScriptedWizardForm form;
};

void Play(const AnswerCase& c) {
  SCOPED_TRACE(c.what);
  AnsweringExcel excel;
  std::int32_t failure = 0;
  if (c.command == Command::Convert) {
    c.answer(excel.answers);
    cmdConvert_Click(excel.form);
  } else {
    cmdConvert_Click(excel.form);
    ASSERT_EQ(excel.Converted(), kCells);
    c.answer(excel.answers);
    failure = FailureOf(UndoLastChange);
  }
  EXPECT_EQ(excel.Converted(), c.converted);
  if (c.message.empty()) {
    EXPECT_TRUE(excel.messages->shown.empty());
  } else {
    ASSERT_EQ(excel.messages->shown.size(), 1u);
    EXPECT_TRUE(excel.messages->shown[0].ends_with(c.message));
  }
  if (c.failure == kAnyFailure) {
    EXPECT_NE(failure, 0);
  } else {
    EXPECT_EQ(failure, c.failure);
  }
  EXPECT_EQ(excel.Exists(u"Sheet1_Undo"), c.undoCopy);
  EXPECT_EQ(excel.Exists(u"Sheet1_Redo"), c.redoCopy);
  xlApp.reset();
  EXPECT_TRUE(excel.answers.Balanced(excel.root));
}

TEST(ExcelAnswers, NoAnswerCrashesOrCutsACommandShort) {
  for (const AnswerCase& c : kCases) {
    Play(c);
  }
}

}  // namespace
}  // namespace morvane::test
