#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

using namespace nimbra::testing;

namespace {

std::string Page(const std::string& name)
{
    std::ifstream file(std::string(NIMBRA_MAN_FOLDER) + "/" + name);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// "-o", "--size", ...: the options a usage names.
std::set<std::string> OptionsOf(const std::string& usage)
{
    static const std::regex option("(^|[^A-Za-z0-9-])(--?[a-z]+)");
    std::set<std::string> options;
    for (auto match = std::sregex_iterator(usage.begin(), usage.end(), option); match != std::sregex_iterator(); ++match)
        options.insert((*match)[2]);
    return options;
}

// The option as roff writes it, "\-\-size", as a whole word: "\-o" is not found in "\-\-output".
bool Describes(const std::string& page, const std::string& option)
{
    std::string pattern = "(^|[^-])";
    for (const char c : option) pattern += c == '-' ? "\\\\-" : std::string(1, c);
    return std::regex_search(page, std::regex(pattern + "([^a-z-]|$)"));
}

}  // namespace

// Every option that a --help names is on the manual page of its program, which names the
// project's version.
TEST(ManualPages, DescribeEveryOptionOfTheUsage)
{
    struct Case {
        std::string page;
        std::vector<std::vector<std::string>> helps;
    };
    const std::vector<Case> cases = {
        {"nimbra-cli.1",
         {{NIMBRA_CLI, "--help"}, {NIMBRA_CLI, "render", "--help"}, {NIMBRA_CLI, "convert", "--help"},
          {NIMBRA_CLI, "resolution", "--help"}}},
#ifdef NIMBRA_MPI
        {"nimbra-mpi.1", {{NIMBRA_MPI, "--help"}, {NIMBRA_MPI, "render", "--help"}}},
#endif
    };
    TempFolder folder;
    for (const Case& c : cases) {
        const std::string page = Page(c.page);
        EXPECT_NE(page.find("\"Nimbra " NIMBRA_PROJECT_VERSION "\""), std::string::npos) << c.page;
        std::size_t checked = 0;
        for (const auto& help : c.helps) {
            for (const std::string& option : OptionsOf(RunProgram(folder.Path(), help).Out)) {
                EXPECT_TRUE(Describes(page, option)) << c.page << " lacks " << option;
                ++checked;
            }
        }
        EXPECT_GT(checked, 20u) << c.page;
    }
}
