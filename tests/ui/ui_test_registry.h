#pragma once
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace nimbra::testing {

// Each test file registers its Qt Test class; ui_tests runs them all in one application.
using UiTestFactory = std::function<std::unique_ptr<QObject>()>;
std::vector<UiTestFactory>& UiTests();

template <class Test>
struct RegisterUiTest {
    RegisterUiTest() { UiTests().push_back([] { return std::make_unique<Test>(); }); }
};

}  // namespace nimbra::testing

#define NIMBRA_UI_TEST(Class) static const nimbra::testing::RegisterUiTest<Class> Register##Class;
