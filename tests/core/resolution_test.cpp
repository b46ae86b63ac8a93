#include "dialogs/resolution.h"

#include "common/error.h"

#include <gtest/gtest.h>

using namespace nimbra;

namespace {

ImageSize SizeFor(const std::string& din, const std::string& dpi)
{
    std::string dpiText = dpi;
    return Recalculate(din, dpiText);
}

std::string MessageOf(const std::string& din, std::string& dpiText)
{
    try {
        Recalculate(din, dpiText);
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

}  // namespace

TEST(Recalculate, SheetAndResolutionGiveTheLandscapeSize)
{
    struct Case {
        const char* din;
        const char* dpi;
        ImageSize size;
    };
    const Case cases[] = {
        {"A4", "100 dpi", {1131, 800}},   {"A4", "300 dpi", {3394, 2400}},
        {"A6", "50 dpi", {283, 200}},     {"A0", "2400 dpi", {111989, 79200}},
        {"A3", "100 dpi", {1697, 1200}},  {"A5", "100 dpi", {848, 600}},
        // At or next to a half in the long side: the extended value of 1.414 decides.
        {"A2", "250 dpi", {6010, 4250}},  {"A2", "750 dpi", {18028, 12750}},
        {"A1", "250 dpi", {8131, 5750}},  {"A1", "750 dpi", {24392, 17250}},
        {"A0", "250 dpi", {11666, 8250}}, {"A0", "750 dpi", {34996, 24750}},
        // The last format named anywhere in the text wins; none named means A4.
        {"A10", "100 dpi", {3252, 2300}}, {"B5", "100 dpi", {1131, 800}},
    };
    for (const Case& c : cases) EXPECT_EQ(SizeFor(c.din, c.dpi), c.size) << c.din << " " << c.dpi;
}

TEST(Recalculate, ResolutionTextKeepsOnlyItsDigits)
{
    struct Case {
        const char* typed;
        const char* shown;
        std::int32_t height;  // of A4
    };
    const Case cases[] = {{"250 dpiI", "250 dpi", 2000}, {"1x2y0", "120 dpi", 960}, {"0 dpi", "0 dpi", 0}};
    for (const Case& c : cases) {
        std::string dpiText = c.typed;
        EXPECT_EQ(Recalculate("A4", dpiText).Height, c.height) << c.typed;
        EXPECT_EQ(dpiText, c.shown);
    }
}

TEST(Recalculate, TextWithoutDigitsIsRefusedAfterTheRewrite)
{
    std::string dpiText = "dpi";
    EXPECT_EQ(MessageOf("A4", dpiText), "'' ist kein gültiger Integerwert");
    EXPECT_EQ(dpiText, " dpi");

    dpiText = "3000000000 dpi";
    EXPECT_EQ(MessageOf("A4", dpiText), "'3000000000' ist kein gültiger Integerwert");
    EXPECT_EQ(dpiText, "3000000000 dpi");
}

TEST(Recalculate, SideBeyondInt32IsAnOverflow)
{
    std::string dpiText = "999999999 dpi";  // the height overflows
    EXPECT_EQ(MessageOf("A4", dpiText), "Integerüberlauf");
    dpiText = "200000000 dpi";  // the height fits, the width does not
    EXPECT_EQ(MessageOf("A4", dpiText), "Integerüberlauf");
    EXPECT_EQ(SizeFor("A4", "150000000 dpi"), (ImageSize{1696800000, 1200000000}));
}
