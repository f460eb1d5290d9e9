// Linked into every test binary that contains the extension: before each test
// the extension's settings go back to a fresh process's, so that no test sees
// what another one loaded, in any order and on every repetition.
#include <tweak/TweakSettings.h>

#include <gtest/gtest.h>

namespace {

class SettingsReset : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { resetTweakSettings(); }
};

// GoogleTest owns the listener once appended.
[[maybe_unused]] const bool installed = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new SettingsReset);
    return true;
}();

} // namespace
