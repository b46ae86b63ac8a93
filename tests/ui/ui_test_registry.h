#pragma once
#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace nimbra::testing {

struct UiTestClass {
    std::string Name;
    std::function<std::unique_ptr<QObject>()> Create;
};

// Every Qt Test class of ui_tests registers itself; main runs one of them, or all.
std::vector<UiTestClass>& UiTests();

inline bool RegisterUiTest(UiTestClass test)
{
    UiTests().push_back(std::move(test));
    return true;
}

}  // namespace nimbra::testing

#define NIMBRA_UI_TEST(TestClass)                                                          \
    [[maybe_unused]] static const bool registered##TestClass = ::nimbra::testing::RegisterUiTest( \
        {#TestClass, [] { return std::unique_ptr<QObject>(std::make_unique<TestClass>()); }});
