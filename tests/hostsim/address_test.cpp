// A1 addresses as tests and the selection use them.

#include <gtest/gtest.h>

#include <stdexcept>

#include "hostsim/address.h"

namespace morvane::sim {
namespace {

TEST(Address, ParsesWhatTestsWriteAndFormatsItBack) {
  struct Case {
    const char* text;
    std::vector<Area> areas;
    const char* formatted;
  };
  const Case cases[] = {
      {"A1", {{1, 1, 1, 1}}, "A1"},
      {"$B$2", {{2, 2, 2, 2}}, "B2"},
      {"C3:A1", {{1, 1, 3, 3}}, "A1:C3"},
      {"A1:B3,D5", {{1, 1, 3, 2}, {5, 4, 5, 4}}, "A1:B3,D5"},
      {"C:C", {{1, 3, kMaxRow, 3}}, "C:C"},
      {"2:2", {{2, 1, 2, kMaxColumn}}, "2:2"},
      {"A:XFD", {{1, 1, kMaxRow, kMaxColumn}}, "1:1048576"},
      {"XFD1048576", {{kMaxRow, kMaxColumn, kMaxRow, kMaxColumn}}, "XFD1048576"},
      {"AA10", {{10, 27, 10, 27}}, "AA10"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseAddress(c.text), c.areas);
    EXPECT_EQ(FormatAddress(c.areas), c.formatted);
  }
}

TEST(Address, RefusesWhatIsNotOnTheSheet) {
  for (const char* text :
       {"", "A0", "XFE1", "A1048577", "1A", "A1:", ",A1", "a1", "A:1", "A1,,B2"}) {
    SCOPED_TRACE(text);
    EXPECT_THROW(ParseAddress(text), std::invalid_argument);
  }
  EXPECT_THROW(ParseCell("A1:B2"), std::invalid_argument);
}

}  // namespace
}  // namespace morvane::sim
