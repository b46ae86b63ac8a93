#include "engine/formula_defaults.h"

#include <gtest/gtest.h>

using namespace nimbra;

namespace {

ParamFields Typed()
{
    return {.Width = "800",
            .Height = "600",
            .Iterations = "500",
            .RealFrom = "a",
            .RealTo = "b",
            .ImagFrom = "c",
            .ImagTo = "d",
            .JuliaReal = "0,285",
            .JuliaImag = "0,01",
            .Inverted = true,
            .Preview = false};
}

}  // namespace

TEST(FormulaDefaults, TheResetWritesNumbersWithTheLocaleSeparator)
{
    ParamFields fields = Typed();
    EnterResetTexts(fields, ',');
    EXPECT_EQ(fields.Width, "640");
    EXPECT_EQ(fields.Height, "480");
    EXPECT_EQ(fields.RealFrom, "-2");
    EXPECT_EQ(fields.RealTo, "0,5");
    EXPECT_EQ(fields.ImagFrom, "-1,25");
    EXPECT_EQ(fields.ImagTo, "1,25");
    EXPECT_EQ(fields.Iterations, "2048");
    EXPECT_EQ(fields.JuliaReal, "0,285");
    EXPECT_EQ(fields.JuliaImag, "0,01");
    EXPECT_TRUE(fields.Inverted);
    EXPECT_FALSE(fields.Preview);

    EnterResetTexts(fields, '.');
    EXPECT_EQ(fields.RealTo, "0.5");
}

TEST(FormulaDefaults, FormulasWithTheirOwnRegionKeepTheOtherFields)
{
    struct Case {
        FormulaKind Kind;
        const char *RealFrom, *RealTo, *ImagFrom, *ImagTo, *Iterations;
    };
    const Case cases[] = {
        {FormulaKind::InvertedMandelbrot, "-20", "20", "-10", "10", "500"},
        {FormulaKind::Julia, "-2", "2", "-1.3", "1.2", "500"},
        {FormulaKind::BurningShip, "3.0", "-2", "2,5", "-2", "250"},
    };
    for (const Case& c : cases) {
        ParamFields fields = Typed();
        EnterFormulaDefaults(c.Kind, fields, ',');
        EXPECT_EQ(fields.RealFrom, c.RealFrom);
        EXPECT_EQ(fields.RealTo, c.RealTo);
        EXPECT_EQ(fields.ImagFrom, c.ImagFrom);
        EXPECT_EQ(fields.ImagTo, c.ImagTo);
        EXPECT_EQ(fields.Iterations, c.Iterations);
        EXPECT_EQ(fields.Width, "800");
        EXPECT_EQ(fields.Height, "600");
    }
}

TEST(FormulaDefaults, MandelbrotDragonAndDaisyEnterTheFullReset)
{
    for (FormulaKind kind : {FormulaKind::Mandelbrot, FormulaKind::Dragon, FormulaKind::Daisy}) {
        ParamFields fields = Typed();
        EnterFormulaDefaults(kind, fields, ',');
        EXPECT_EQ(fields.Width, "640");
        EXPECT_EQ(fields.Iterations, "2048");
        EXPECT_EQ(fields.RealTo, "0,5");
    }
}
