#include "mainwindow/region_edit.h"

#include <gtest/gtest.h>

using namespace nimbra;

namespace {

ParamFields Region(const char* realFrom, const char* realTo, const char* imagFrom, const char* imagTo)
{
    ParamFields fields;
    fields.RealFrom = realFrom;
    fields.RealTo = realTo;
    fields.ImagFrom = imagFrom;
    fields.ImagTo = imagTo;
    return fields;
}

ParamFields AfterButton(RegionButton button, ParamFields fields)
{
    WriteRegion(ButtonRegion(button, fields), fields, ',');
    return fields;
}

void ExpectRegion(const ParamFields& fields, const char* realFrom, const char* realTo, const char* imagFrom,
                  const char* imagTo)
{
    EXPECT_EQ(fields.RealFrom, realFrom);
    EXPECT_EQ(fields.RealTo, realTo);
    EXPECT_EQ(fields.ImagFrom, imagFrom);
    EXPECT_EQ(fields.ImagTo, imagTo);
}

}  // namespace

TEST(RegionEdit, StepsMoveByAFractionOfTheOwnSize)
{
    EXPECT_EQ(StepUp(-2.0L, 0.1L), -2.0L + 0.1L * 2.0L);
    EXPECT_EQ(StepUp(0.5L, 0.1L), 0.5L + 0.1L * 0.5L);
    EXPECT_EQ(StepDown(-2.0L, 0.1L), -2.0L - 0.1L * 2.0L);
    EXPECT_EQ(StepDown(0.5L, 0.1L), 0.5L - 0.1L * 0.5L);
    EXPECT_EQ(StepUp(0.0L, 0.1L), 0.0L);
    EXPECT_EQ(StepDown(0.0L, 0.1L), 0.0L);
}

TEST(RegionEdit, ZoomScalesAllBoundsAboutTheOrigin)
{
    const ParamFields start = Region("-2", "0,5", "-1,25", "1,25");
    ExpectRegion(AfterButton(RegionButton::ZoomOut, start), " -2.20", "  0.55", " -1.38", "  1.38");
    ExpectRegion(AfterButton(RegionButton::ZoomIn, Region("2", "4", "0", "x")), "  1.80", "  3.60", "  0.00", "  0.00");
    ExpectRegion(AfterButton(RegionButton::ZoomOut, Region("-0,7453", "0", "1", "1")), " -0.82", "  0.00", "  1.10",
                 "  1.10");
}

TEST(RegionEdit, ScrollMovesOnlyTheBoundsOfItsAxis)
{
    const ParamFields start = Region("-2", "0,5", "-1,25", "1,25");
    ExpectRegion(AfterButton(RegionButton::ScrollRight, start), " -1.80", "  0.55", "-1,25", "1,25");
    ExpectRegion(AfterButton(RegionButton::ScrollLeft, start), " -2.20", "  0.45", "-1,25", "1,25");
    ExpectRegion(AfterButton(RegionButton::ScrollUp, start), "-2", "0,5", " -1.12", "  1.38");
    ExpectRegion(AfterButton(RegionButton::ScrollDown, start), "-2", "0,5", " -1.38", "  1.12");
    ExpectRegion(AfterButton(RegionButton::ScrollUp, Region("0", "0", "0", " 0.00")), "0", "0", "  0.00", "  0.00");
}

TEST(RegionEdit, ButtonTextsReadBackTheirOwnForm)
{
    ParamFields fields = Region("-2", "0,5", "-1,25", "1,25");
    fields = AfterButton(RegionButton::ZoomOut, fields);
    fields = AfterButton(RegionButton::ZoomOut, fields);
    ExpectRegion(fields, " -2.42", "  0.61", " -1.52", "  1.52");  // 0.605 as a double lies above
}

TEST(RegionEdit, SelectionMapsCornersOntoTheLastRegion)
{
    FractalParams params;
    params.RealFrom = -2.0L;
    params.ImagFrom = -1.25L;
    params.StepReal = 2.5L / 250;
    params.StepImag = 2.5L / 250;
    ParamFields fields;

    WriteRegion(SelectionRegion({50, 25, 150, 125}, params), fields, ',');
    ExpectRegion(fields, "-1,5", "-0,5", "-1", "0");

    WriteRegion(SelectionRegion({150, 125, 50, 25}, params), fields, '.');
    ExpectRegion(fields, "-0.5", "-1.5", "0", "-1");

    WriteRegion(SelectionRegion({7, 7, 7, 7}, params), fields, ',');
    ExpectRegion(fields, "-1,93", "-1,93", "-1,18", "-1,18");

    WriteRegion(SelectionRegion({-10, 300, 0, 0}, params), fields, ',');
    ExpectRegion(fields, "-2,1", "-2", "1,75", "-1,25");
}
