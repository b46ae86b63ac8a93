#include "tests/ui/ui_test_registry.h"

#include <QApplication>
#include <QTest>

namespace nimbra::testing {

std::vector<UiTestFactory>& UiTests()
{
    static std::vector<UiTestFactory> tests;
    return tests;
}

}  // namespace nimbra::testing

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    int failed = 0;
    for (const auto& factory : nimbra::testing::UiTests()) {
        const std::unique_ptr<QObject> test = factory();
        failed += QTest::qExec(test.get(), argc, argv) != 0 ? 1 : 0;
    }
    return failed == 0 ? 0 : 1;
}
