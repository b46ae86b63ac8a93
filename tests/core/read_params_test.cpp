#include "common/error.h"
#include "engine/read_params.h"

#include <gtest/gtest.h>

#include <vector>

using namespace nimbra;

namespace {

ParamFields FileRunFields()
{
    ParamFields fields;
    fields.Preview = false;
    return fields;
}

std::string RefusalOf(ParamFields fields, PreviewSize preview = {}, FormulaKind formula = FormulaKind::Mandelbrot)
{
    FractalParams params;
    params.Formula = static_cast<std::uint8_t>(formula);
    try {
        ReadParams(fields, params, preview, ',');
    } catch (const Error& error) {
        return error.what();
    }
    return "";
}

}  // namespace

TEST(ReadParams, SizesAreCorrectedSilently)
{
    struct Case {
        const char* Width;
        const char* Height;
        std::int32_t ExpectedWidth, ExpectedHeight;
    };
    const Case cases[] = {{"20480", "100000", 20480, 100000}, {"20481", "-5", 640, 480}, {"-1", "0", 640, 0}};
    for (const Case& c : cases) {
        ParamFields fields = FileRunFields();
        fields.Width = c.Width;
        fields.Height = c.Height;
        fields.ImagTo = fields.ImagFrom;  // height 0 with an empty range is refused later; not here
        FractalParams params;
        try {
            ReadParams(fields, params, {}, ',');
        } catch (const Error&) {
        }
        EXPECT_EQ(fields.Width, std::to_string(c.ExpectedWidth));
        EXPECT_EQ(fields.Height, std::to_string(c.ExpectedHeight));
    }
}

TEST(ReadParams, PreviewTakesTheWindowSize)
{
    ParamFields fields;
    fields.Width = "800";
    fields.Height = "600";
    FractalParams params;
    ReadParams(fields, params, {300, 200}, ',');
    EXPECT_EQ(params.Width, 300);
    EXPECT_EQ(params.Height, 200);
    EXPECT_EQ(fields.Width, "300");
    EXPECT_EQ(fields.Height, "200");
    EXPECT_EQ(params.Model, ColorModel::Rgb);
    EXPECT_FALSE(params.Inverted);
    EXPECT_TRUE(params.Preview);
}

TEST(ReadParams, IterationMaximumCorrections)
{
    struct Case {
        bool Grad, Preview;
        const char* Typed;
        const char* Shown;
    };
    const Case cases[] = {
        {true, false, "300", "255"},   {false, false, "300", "300"},         {false, true, "300", "256"},
        {true, true, "300", "256"},    {false, false, "-3", "2048"},         {false, false, "20000000", "2048"},
        {false, false, "16777216", "16777216"}, {true, false, "-3", "2048"},
    };
    for (const Case& c : cases) {
        ParamFields fields;
        fields.Model = c.Grad ? ColorModel::Grad : ColorModel::Rgb;
        fields.Preview = c.Preview;
        fields.Iterations = c.Typed;
        FractalParams params;
        ReadParams(fields, params, {}, ',');
        EXPECT_EQ(fields.Iterations, c.Shown) << c.Typed;
    }
}

TEST(ReadParams, FloatFieldsAreWrittenBackInTheGeneralFormat)
{
    ParamFields fields;
    fields.RealFrom = "";
    fields.RealTo = "0.5";
    fields.ImagFrom = "-2,000";
    fields.ImagTo = " 1.25 ";
    FractalParams params;
    ReadParams(fields, params, {}, ',');
    EXPECT_EQ(fields.RealFrom, "-2");
    EXPECT_EQ(fields.RealTo, "0,5");
    EXPECT_EQ(fields.ImagFrom, "-2");
    EXPECT_EQ(fields.ImagTo, "1,25");
    EXPECT_EQ(fields.JuliaReal, "0");
    EXPECT_EQ(fields.JuliaImag, "0");
    EXPECT_EQ(params.RealTo, 0.5L);

    ReadParams(fields, params, {}, '.');
    EXPECT_EQ(fields.RealTo, "0.5");
}

TEST(ReadParams, RefusalsCarryTheirMessages)
{
    ParamFields fields = FileRunFields();
    fields.RealFrom = "1.2.3";
    EXPECT_EQ(RefusalOf(fields), "'1,2,3' ist kein gültiger Gleitkommawert");

    fields = FileRunFields();
    fields.Width = "";
    EXPECT_EQ(RefusalOf(fields), "'' ist kein gültiger Integerwert");

    fields = FileRunFields();
    fields.Iterations = "0";
    EXPECT_EQ(RefusalOf(fields), "Gleitkommadivision durch Null");

    fields = ParamFields();
    fields.Iterations = "-5";  // only a preview lets a negative maximum through
    EXPECT_EQ(RefusalOf(fields), "Ungültige Gleitkommaoperation");

    fields = FileRunFields();
    fields.Width = "0";
    EXPECT_EQ(RefusalOf(fields), "Gleitkommadivision durch Null");

    fields.RealTo = fields.RealFrom;
    EXPECT_EQ(RefusalOf(fields), "Ungültige Gleitkommaoperation");

    fields = FileRunFields();
    fields.JuliaImag = "abc";  // the hidden Julia fields are read for every formula, and said where they are
    EXPECT_EQ(RefusalOf(fields), "'abc' ist kein gültiger Gleitkommawert\n"
                                 "es ist eine Konstante der Julia Menge, die auch für diese Formel gelesen wird");
    EXPECT_EQ(RefusalOf(fields, {}, FormulaKind::Julia), "'abc' ist kein gültiger Gleitkommawert");
}

TEST(ReadParams, ARefusalKeepsTheCorrectionsMadeBeforeIt)
{
    ParamFields fields{.Width = "99999", .ImagTo = "x", .Preview = false};
    FractalParams params;
    params.Width = 123;
    EXPECT_THROW(ReadParams(fields, params, {}, ','), Error);
    EXPECT_EQ(fields.Width, "640");
    EXPECT_EQ(params.Width, 123);  // the parameters of the last run stay
}

TEST(ReadParams, StepsAndDigitBase)
{
    ParamFields fields{.Width = "500", .Iterations = "4096", .RealFrom = "3", .RealTo = "-2", .Preview = false};
    FractalParams params;
    ReadParams(fields, params, {}, ',');
    EXPECT_EQ(params.StepReal, -5.0L / 500);
    EXPECT_EQ(params.DigitBase, 17);

    const std::pair<std::int32_t, std::uint16_t> bases[] = {{1, 2},   {2, 2},    {8, 3},    {100, 6},
                                                            {255, 7}, {256, 7},  {2048, 14}, {4096, 17},
                                                            {16777216, 257}};
    for (const auto& [maximum, base] : bases) EXPECT_EQ(DigitBaseFor(maximum), base) << maximum;
}

TEST(ReadParams, TheDefaultFieldsGiveTheDefaultParameters)
{
    ParamFields fields = FileRunFields();
    FractalParams params;
    ReadParams(fields, params, {}, ',');
    const FractalParams start;
    EXPECT_EQ(std::vector<std::int32_t>({params.Width, params.Height, params.MaxIterations, params.DigitBase}),
              std::vector<std::int32_t>({start.Width, start.Height, start.MaxIterations, start.DigitBase}));
    EXPECT_EQ(std::vector<long double>({params.RealFrom, params.RealTo, params.ImagFrom, params.ImagTo,
                                        params.StepReal, params.StepImag}),
              std::vector<long double>(
                  {start.RealFrom, start.RealTo, start.ImagFrom, start.ImagTo, start.StepReal, start.StepImag}));
}
