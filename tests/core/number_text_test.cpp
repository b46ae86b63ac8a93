#include "common/error.h"
#include "common/number_text.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace nimbra;

TEST(NumberText, CommaAndPointSwap)
{
    EXPECT_EQ(CommaToPoint("1,2,3"), "1.2.3");
    EXPECT_EQ(PointToComma("0.285"), "0,285");
}

TEST(NumberText, ZeroPadFillsToWidth)
{
    EXPECT_EQ(ZeroPad(7, 3), "007");
    EXPECT_EQ(ZeroPad(254, 3), "254");
    EXPECT_EQ(ZeroPad(1234, 3), "1234");
    EXPECT_EQ(ZeroPad(3, 2), "03");
}

TEST(NumberText, FloatToTextHasTwoDecimalsInSixCharacters)
{
    EXPECT_EQ(FloatToText(0.5), "  0.50");
    EXPECT_EQ(FloatToText(-2), " -2.00");
    EXPECT_EQ(FloatToText(1234.5), "1234.50");
    EXPECT_EQ(FloatToText(0), "  0.00");
    EXPECT_EQ(FloatToText(-1.375), " -1.38");  // an exact tie goes to even
}

TEST(NumberText, TextToFloatIsLenientAndGivesZeroForNonNumbers)
{
    EXPECT_EQ(TextToFloat(" -2.20"), -2.2);
    EXPECT_EQ(TextToFloat("0,5"), 0.5);
    EXPECT_EQ(TextToFloat("1e3"), 1000.0);
    EXPECT_EQ(TextToFloat(""), 0.0);
    EXPECT_EQ(TextToFloat("abc"), 0.0);
    EXPECT_EQ(TextToFloat("1.2.3"), 0.0);
    EXPECT_EQ(TextToFloat("2 "), 0.0);  // nothing may follow
    EXPECT_EQ(TextToFloat("-0,7453"), -0.7453);
}

TEST(NumberText, IntegerFieldIsStrictDecimal)
{
    EXPECT_EQ(ParseIntegerField("640"), 640);
    EXPECT_EQ(ParseIntegerField(" -5 "), -5);
    EXPECT_EQ(ParseIntegerField("+12"), 12);
    EXPECT_EQ(ParseIntegerField("2147483647"), 2147483647);
    EXPECT_EQ(ParseIntegerField("-2147483648"), -2147483647 - 1);
    for (const char* bad : {"", "12a", "1.5", "-", "2147483648", "99999999999999999999", "0x10"}) {
        try {
            ParseIntegerField(bad);
            ADD_FAILURE() << bad;
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()), std::string("'") + bad + "' ist kein gültiger Integerwert");
        }
    }
}

TEST(NumberText, CommaFloatParsesStraightToTheNearestLongDouble)
{
    EXPECT_EQ(ParseCommaFloat("0,1"), 0.1L);  // not the double 0.1 widened
    EXPECT_NE(ParseCommaFloat("0,1"), static_cast<long double>(0.1));
    EXPECT_EQ(ParseCommaFloat("-2,000"), -2.0L);
    EXPECT_EQ(ParseCommaFloat("  0,5  "), 0.5L);
    EXPECT_EQ(ParseCommaFloat("1,5E-3"), 1.5e-3L);
    EXPECT_EQ(ParseCommaFloat("3,"), 3.0L);
    EXPECT_THROW(ParseCommaFloat("1,2,3"), Error);
    EXPECT_THROW(ParseCommaFloat("1e99999"), Error);
    try {
        ParseCommaFloat("1,2,3");
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "'1,2,3' ist kein gültiger Gleitkommawert");
    }
}

TEST(NumberText, GeneralFormatKeepsFifteenDigitsWithoutTrailingZeros)
{
    EXPECT_EQ(FormatGeneral(-2.0L, ','), "-2");
    EXPECT_EQ(FormatGeneral(0.5L, ','), "0,5");
    EXPECT_EQ(FormatGeneral(-1.25L, '.'), "-1.25");
    EXPECT_EQ(FormatGeneral(0.0L, ','), "0");
    EXPECT_EQ(FormatGeneral(0.1L, ','), "0,1");
    EXPECT_EQ(FormatGeneral(1.0L / 3.0L, ','), "0,333333333333333");
    EXPECT_EQ(FormatGeneral(123456789012345678.0L, ','), "1,23456789012346E17");
    EXPECT_EQ(FormatGeneral(0.00001L, ','), "0,00001");
    EXPECT_EQ(FormatGeneral(0.0000015L, ','), "1,5E-6");
    EXPECT_EQ(FormatGeneral(100.0L, ','), "100");
    EXPECT_EQ(FormatGeneral(-0.0001234L, '.'), "-0.0001234");
}
