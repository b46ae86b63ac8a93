#pragma once
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace nimbra::testing {

using UiTestFactory = std::function<std::unique_ptr<QObject>()>;

// Every Qt Test class of ui_tests registers itself; main runs them all in one application.
std::vector<UiTestFactory>& UiTests();

inline bool RegisterUiTest(UiTestFactory factory)
{
    UiTests().push_back(std::move(factory));
    return true;
}

}  // namespace nimbra::testing

#define NIMBRA_UI_TEST(TestClass)                                                                          \
    [[maybe_unused]] static const bool registered##TestClass =                                             \
        ::nimbra::testing::RegisterUiTest([] { return std::unique_ptr<QObject>(std::make_unique<TestClass>()); });
