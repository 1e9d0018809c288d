// The COM tests run in one single-threaded apartment, entered before the first test and left
// after the last, as Excel's user-interface thread is.

#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

namespace {

class ComApartment : public testing::Environment {
 public:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  }
  void TearDown() override { CoUninitialize(); }
};

const testing::Environment* const apartment = testing::AddGlobalTestEnvironment(new ComApartment);

}  // namespace
