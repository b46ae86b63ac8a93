// ui_tests [TestClass [Qt Test options]]: runs one test class, so that CTest gives each class
// an entry of its own and a crash hides no other class; without a class name, runs them all.
// ui_tests --classes A B ...: fails unless exactly these classes are registered, so that the
// list CTest runs cannot fall behind the test files.
#include "tests/ui/ui_test_registry.h"

#include <QApplication>
#include <QTest>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <set>

namespace nimbra::testing {

std::vector<UiTestClass>& UiTests()
{
    static std::vector<UiTestClass> tests;
    return tests;
}

}  // namespace nimbra::testing

namespace {

using nimbra::testing::UiTests;

int CheckRegisteredClasses(int count, char** names)
{
    std::set<std::string> registered;
    for (const auto& test : UiTests()) registered.insert(test.Name);
    const std::set<std::string> listed(names, names + count);
    if (registered == listed) return 0;
    for (const std::string& name : registered)
        if (listed.count(name) == 0) std::cerr << name << " has no CTest entry\n";
    for (const std::string& name : listed)
        if (registered.count(name) == 0) std::cerr << name << " is not a registered test class\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--classes") == 0) return CheckRegisteredClasses(argc - 2, argv + 2);
    QApplication application(argc, argv);
    if (argc > 1 && argv[1][0] != '-') {
        const auto test = std::find_if(UiTests().begin(), UiTests().end(),
                                       [&](const auto& candidate) { return candidate.Name == argv[1]; });
        if (test == UiTests().end()) {
            std::cerr << argv[1] << " is not a registered test class\n";
            return 2;
        }
        argv[1] = argv[0];  // Qt Test reads its options after the program name
        return QTest::qExec(test->Create().get(), argc - 1, argv + 1) != 0 ? 1 : 0;
    }
    int failed = 0;
    for (const auto& test : UiTests()) failed += QTest::qExec(test.Create().get(), argc, argv) != 0 ? 1 : 0;
    return failed == 0 ? 0 : 1;
}
