#include "tests/ui/ui_test_registry.h"

#include <QApplication>
#include <QLocale>
#include <QTest>

namespace nimbra::testing {

std::vector<UiTestFactory>& UiTests()
{
    static std::vector<UiTestFactory> tests;
    return tests;
}

}  // namespace nimbra::testing

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // The texts the windows write follow the user's locale; the tests expect German ones.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    int failures = 0;
    for (const nimbra::testing::UiTestFactory& factory : nimbra::testing::UiTests()) {
        const std::unique_ptr<QObject> test = factory();
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
