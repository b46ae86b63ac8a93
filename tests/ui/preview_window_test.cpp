#include "common/number_text.h"
#include "mainwindow/ui/calc_form.h"
#include "mainwindow/ui/preview_window.h"
#include "tests/support/run_fixture.h"
#include "tests/ui/ui_program.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace nimbra;
using namespace nimbra::testing;

namespace {

// Records the pixels a run draws, as the core hands them out.
class RecordingCanvas final : public PreviewCanvas {
public:
    explicit RecordingCanvas(PreviewSize size) : size_(size), image_(size.Width, size.Height, QImage::Format_RGB32) {}
    PreviewSize ClientSize() const override { return size_; }
    void ClearToWhite() override { image_.fill(Qt::white); }
    void SetPixel(std::int32_t x, std::int32_t y, Rgb colour) override
    {
        image_.setPixel(x, y, qRgb(colour.Red, colour.Green, colour.Blue));
    }
    void Show() override {}
    void Close() override {}
    const QImage& Image() const { return image_; }

private:
    PreviewSize size_;
    QImage image_;
};

QImage CoreRunPicture(const ParamFields& fields, PreviewSize size)
{
    RunFixture run;
    RecordingCanvas canvas(size);
    RunContext context = run.Headless.ContextWith(run.Dialogs, run.Platform, run.Pump, canvas, run.Display);
    RunCalculation(fields, context);
    return canvas.Image();
}

[[nodiscard]] bool PreviewDepth(TCalcForm& form) { return TypeInto(Find<QLineEdit>(form, "IterationEdit"), "64"); }

void Drag(TPreView& preview, QPoint from, std::initializer_list<QPoint> path)
{
    QTest::mousePress(&preview, Qt::LeftButton, Qt::NoModifier, from);
    for (const QPoint& to : path) QTest::mouseMove(&preview, to);
}

// True when the two pictures differ only on the outline of the rectangle from a to b.
bool DifferOnlyOnOutline(const QImage& before, const QImage& after, QPoint a, QPoint b)
{
    const QRect box = QRect(a, b).normalized();
    bool any = false;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x) {
            if (before.pixel(x, y) == after.pixel(x, y)) continue;
            const bool onOutline = box.adjusted(-1, -1, 1, 1).contains(x, y) && !box.adjusted(1, 1, -1, -1).contains(x, y);
            if (!onOutline) return false;
            any = true;
        }
    return any;
}

}  // namespace

class PreviewWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() { folder_ = std::make_unique<TempFolder>(); inside_ = std::make_unique<CurrentDirectory>(folder_->Path()); }
    void cleanup() { inside_.reset(); folder_.reset(); }

    void IsCreatedHiddenAtItsSize()
    {
        UiProgram program;
        TPreView& preview = *program.PreView;
        QCOMPARE(preview.windowTitle(), QStringLiteral("PreView"));
        QCOMPARE(preview.size(), QSize(255, 255));
        QVERIFY(preview.isHidden());
        QVERIFY(!preview.EverShown());
        QVERIFY(!(preview.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(preview.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(preview.windowFlags() & Qt::WindowCloseButtonHint);
    }

    void APreviewRunShowsTheCoreRunsPicture()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(PreviewDepth(form));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "WidthEdit"), "800"));
        QTest::mouseClick(Find<QCheckBox>(form, "SetTestMode"), Qt::LeftButton);
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);

        TPreView& preview = *program.PreView;
        QVERIFY(preview.isVisible());
        QVERIFY(preview.EverShown());
        QCOMPARE(Find<QLineEdit>(form, "WidthEdit")->text(), QStringLiteral("255"));
        QCOMPARE(Find<QLineEdit>(form, "HeightEdit")->text(), QStringLiteral("255"));
        QVERIFY(!Find<QPushButton>(form, "ShowBtn")->isEnabled());
        QVERIFY(std::filesystem::is_empty("pix"));
        const QImage expected = CoreRunPicture(form.GatherFields(), {255, 255});
        QVERIFY(preview.Canvas() == expected);
        QVERIFY(preview.grab().toImage().convertToFormat(QImage::Format_RGB32) == expected);
    }

    void ZoomAndScrollRewriteTheFieldsWithoutARunBeforeTheFirstShowing()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QTest::mouseClick(Find<QToolButton>(form, "ZOO"), Qt::LeftButton);
        QCOMPARE(RegionFieldTexts(form), QStringList({" -2.20", "  0.55", " -1.38", "  1.38"}));
        QTest::mouseClick(Find<QToolButton>(form, "ZOI"), Qt::LeftButton);
        QCOMPARE(RegionFieldTexts(form), QStringList({" -1.98", "  0.50", " -1.24", "  1.24"}));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "RealFEdit"), "-2"));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "RealTEdit"), "0,5"));
        QTest::mouseClick(Find<QToolButton>(form, "SCR"), Qt::LeftButton);
        QCOMPARE(Find<QLineEdit>(form, "RealFEdit")->text(), QStringLiteral(" -1.80"));
        QCOMPARE(Find<QLineEdit>(form, "RealTEdit")->text(), QStringLiteral("  0.55"));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "ImagFEdit"), "x"));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "ImagTEdit"), "1,25"));
        QTest::mouseClick(Find<QToolButton>(form, "SCU"), Qt::LeftButton);
        QCOMPARE(Find<QLineEdit>(form, "ImagFEdit")->text(), QStringLiteral("  0.00"));
        QCOMPARE(Find<QLineEdit>(form, "ImagTEdit")->text(), QStringLiteral("  1.38"));
        QTest::mouseClick(Find<QToolButton>(form, "SCD"), Qt::LeftButton);
        QTest::mouseClick(Find<QToolButton>(form, "SCL"), Qt::LeftButton);
        QCOMPARE(RegionFieldTexts(form), QStringList({" -1.98", "  0.50", "  0.00", "  1.24"}));
        QVERIFY(program.PreView->isHidden());
        QCOMPARE(Find<QToolButton>(form, "ZOO")->toolTip(), QStringLiteral("Zoomt 10% aus der Vorschau heraus"));
        QCOMPARE(Find<QToolButton>(form, "SCD")->toolTip(),
                 QStringLiteral("Scrollt Vorschau um 10% des Anzeigebereiches nach unten"));
    }

    void OnceShownTheZoomStartsTheNextPreviewRun()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(PreviewDepth(form));
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        QTest::mouseClick(Find<QToolButton>(form, "ZOI"), Qt::LeftButton);
        // The run read the rewritten fields back in the general format; -1.125 rounds to even.
        QCOMPARE(RegionFieldTexts(form), QStringList({"-1,8", "0,45", "-1,12", "1,12"}));
        QCOMPARE(static_cast<double>(program.State.Params.RealFrom), -1.8);
        QVERIFY(program.PreView->Canvas() == CoreRunPicture(form.GatherFields(), {255, 255}));
    }

    void ViewBackAndForwardRestoreTheTextsAndRunWhereTheZoomWould()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        const QStringList start = RegionFieldTexts(form);
        QTest::mouseClick(Find<QToolButton>(form, "ZOO"), Qt::LeftButton);
        const QStringList zoomed = RegionFieldTexts(form);
        QVERIFY(PressKey(form, Qt::Key_Left, Qt::AltModifier));
        QCOMPARE(RegionFieldTexts(form), start);
        QVERIFY(PressKey(form, Qt::Key_Right, Qt::AltModifier));
        QCOMPARE(RegionFieldTexts(form), zoomed);
        QVERIFY(program.PreView->isHidden());
        QVERIFY(!Find<QAction>(form, "ViewForward")->isEnabled());

        QVERIFY(PreviewDepth(form));
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        Drag(*program.PreView, {51, 51}, {{153, 204}});
        QTest::mouseRelease(program.PreView, Qt::LeftButton, Qt::NoModifier, {153, 204});
        const QStringList selected = RegionFieldTexts(form);
        QVERIFY(PressKey(form, Qt::Key_Left, Qt::AltModifier));
        // The run read the restored texts and wrote them back in the general format.
        QCOMPARE(RegionFieldTexts(form), QStringList({"-2,2", "0,55", "-1,38", "1,38"}));
        QCOMPARE(static_cast<double>(program.State.Params.RealFrom), -2.2);
        QVERIFY(program.PreView->Canvas() == CoreRunPicture(form.GatherFields(), {255, 255}));
        QVERIFY(PressKey(form, Qt::Key_Right, Qt::AltModifier));
        QCOMPARE(RegionFieldTexts(form), selected);
    }

    void ViewBackDuringARunFromASelectionStopsItAndKeepsTheRestoredRegion()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(PreviewDepth(form));
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        const QStringList before = RegionFieldTexts(form);
        Drag(*program.PreView, {51, 51}, {{153, 204}});
        bool pressed = false;
        DuringTheRun(program, [&] { pressed = PressKey(form, Qt::Key_Left, Qt::AltModifier); });
        QTest::mouseRelease(program.PreView, Qt::LeftButton, Qt::NoModifier, {153, 204});
        QVERIFY(pressed);

        QVERIFY(!program.State.Run.Running && program.PreView->isHidden());
        QCOMPARE(RegionFieldTexts(form), before);
        QVERIFY(Find<QAction>(form, "ViewForward")->isEnabled());
    }

    void ARubberBandIsDrawnSoThatItCanBeUndrawn()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(PreviewDepth(form));
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        TPreView& preview = *program.PreView;
        const QImage finished = preview.Canvas();
        Drag(preview, {40, 30}, {{120, 90}, {200, 60}, {100, 150}});
        QVERIFY(preview.Selecting);
        QVERIFY(DifferOnlyOnOutline(finished, preview.Canvas(), {40, 30}, {100, 150}));
        QTest::mouseMove(&preview, {40, 30});
        QVERIFY(DifferOnlyOnOutline(finished, preview.Canvas(), {40, 30}, {40, 30}));
    }

    void ReleasingTheRubberBandRunsTheSelectedRegion()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(PreviewDepth(form));
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        TPreView& preview = *program.PreView;
        const FractalParams before = program.State.Params;
        Drag(preview, {51, 51}, {{153, 204}});
        QTest::mouseRelease(&preview, Qt::LeftButton, Qt::NoModifier, {153, 204});

        QVERIFY(!preview.Selecting);
        const auto at = [](long double value) { return QString::fromStdString(FormatGeneral(value, ',')); };
        QCOMPARE(RegionFieldTexts(form), QStringList({at(51 * before.StepReal + before.RealFrom),
                                                 at(153 * before.StepReal + before.RealFrom),
                                                 at(51 * before.StepImag + before.ImagFrom),
                                                 at(204 * before.StepImag + before.ImagFrom)}));
        QCOMPARE(program.State.Params.RealFrom,
                 ParseCommaFloat(FormatGeneral(51 * before.StepReal + before.RealFrom, ',')));
        QVERIFY(preview.Canvas() == CoreRunPicture(form.GatherFields(), {255, 255}));
        QVERIFY(Find<QCheckBox>(form, "SetTestMode")->isChecked());
    }

    void AClickAtTheLeftEdgeSelectsNothing()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(PreviewDepth(form));
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        const QStringList region = RegionFieldTexts(form);
        QTest::mouseClick(program.PreView, Qt::LeftButton, Qt::NoModifier, {0, 100});
        QCOMPARE(RegionFieldTexts(form), region);
    }

    void ClosingThePreviewAfterASelectionPreparesAFileRun()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(PreviewDepth(form));
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        TPreView& preview = *program.PreView;
        QTest::mouseClick(&preview, Qt::LeftButton, Qt::NoModifier, {100, 100});
        const FractalParams selected = program.State.Params;
        QVERIFY(preview.close());

        QVERIFY(preview.isHidden());
        QVERIFY(!Find<QCheckBox>(form, "SetTestMode")->isChecked());
        QVERIFY(program.State.Run.StopRequested);
        const QString point = QString::fromStdString(FormatGeneral(100 * selected.StepReal + selected.RealFrom, ','));
        QCOMPARE(Find<QLineEdit>(form, "RealFEdit")->text(), point);
        QCOMPARE(Find<QLineEdit>(form, "RealTEdit")->text(), point);
        QCOMPARE(preview.size(), QSize(255, 255));
        QVERIFY(std::filesystem::is_empty("pix"));  // the size did not change: no run
    }

    void StoppingAFileRunMapsTheSelectionAgainThoughThePreviewIsHidden()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(PreviewDepth(form));
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        TPreView& preview = *program.PreView;
        Drag(preview, {51, 51}, {{153, 204}});
        QVERIFY(preview.close());  // the selection is meant for a file: the preview is off
        DuringTheRun(program, [&] { QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton); });
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);

        const FractalParams stopped = program.State.Params;
        QVERIFY(preview.isHidden() && program.State.Run.StopRequested);
        const QString real = QString::fromStdString(FormatGeneral(51 * stopped.StepReal + stopped.RealFrom, ','));
        QCOMPARE(Find<QLineEdit>(form, "RealFEdit")->text(), real);
        QVERIFY(std::filesystem::is_empty("pix"));
    }

    void ResizingTheIdlePreviewRunsAtTheNewSize()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(PreviewDepth(form));
        program.PreView->resize(200, 150);
        QVERIFY(program.PreView->isHidden());  // never shown yet: nothing starts
        QVERIFY(!program.State.Run.Running && Find<QLineEdit>(form, "WidthEdit")->text() == QStringLiteral("640"));
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        program.PreView->resize(120, 90);
        QCOMPARE(Find<QLineEdit>(form, "WidthEdit")->text(), QStringLiteral("120"));
        QCOMPARE(Find<QLineEdit>(form, "HeightEdit")->text(), QStringLiteral("90"));
        QVERIFY(program.PreView->Canvas() == CoreRunPicture(form.GatherFields(), {120, 90}));
    }

    void ClosingAResizedPreviewAfterASelectionWritesTwoFiles()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(PreviewDepth(form));
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        TPreView& preview = *program.PreView;
        preview.resize(40, 30);
        QTest::mouseClick(&preview, Qt::LeftButton, Qt::NoModifier, {20, 10});
        QVERIFY(preview.close());
        QCOMPARE(preview.size(), QSize(255, 255));
        // Each of the two size changes starts a file run of the size in the fields.
        for (const char* name : {"pix/nimbra000.tga", "pix/nimbra001.tga"})
            QCOMPARE(ReadBytes(name).size(), std::size_t{18 + 40 * 30 * 3});
        QVERIFY(!std::filesystem::exists("pix/nimbra002.tga"));
        QVERIFY(!Find<QCheckBox>(form, "SetTestMode")->isChecked());
    }

    void NothingStartsOnceTheMainWindowHasClosed()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(PreviewDepth(form));
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        QVERIFY(form.close());
        program.PreView->resize(100, 80);
        QCOMPARE(Find<QLineEdit>(form, "WidthEdit")->text(), QStringLiteral("255"));
        QVERIFY(!program.State.Run.Running);
    }

    void ClosingThePreviewStopsItsRun()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(PreviewDepth(form));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "RealFEdit"), "-0,75"));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "RealTEdit"), "0,25"));
        DuringTheRun(program, [&] { program.PreView->close(); });
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        QVERIFY(!program.State.Run.Running);
        QVERIFY(program.PreView->isHidden());
        QCOMPARE(Find<QPushButton>(form, "MakeButton")->text(), QStringLiteral("&Berechnen"));
    }

private:
    std::unique_ptr<TempFolder> folder_;
    std::unique_ptr<CurrentDirectory> inside_;
};

QTEST_MAIN(PreviewWindowTest)
#include "preview_window_test.moc"
