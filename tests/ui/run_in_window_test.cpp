#include "engine/headless_targets.h"
#include "engine/run_calculation.h"
#include "mainwindow/ui/calc_form.h"
#include "mainwindow/ui/preview_window.h"
#include "tests/ui/ui_program.h"
#include "tests/ui/ui_test_registry.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <thread>

using namespace nimbra;
using namespace nimbra::testing;

namespace {

using Texts = std::vector<std::string>;

// The image the core run writes for these fields, without any window.
std::vector<std::uint8_t> RendererImage(const ParamFields& fields, FormulaKind formula = FormulaKind::Mandelbrot)
{
    TempFolder folder;
    std::filesystem::create_directory(folder / "pix");
    FractalParams params;
    params.Formula = static_cast<std::uint8_t>(formula);
    RunState state;
    PaletteList palette;
    HeadlessPreview preview;
    HeadlessDisplay display;
    ScriptedDialogs dialogs;
    FakePlatform platform;
    NoPump pump;
    std::string lastImagePath;
    RunContext context{.Params = params,
                       .State = state,
                       .Palette = palette,
                       .Preview = preview,
                       .Display = display,
                       .Dialogs = dialogs,
                       .System = platform,
                       .Pump = pump,
                       .StartFolder = folder.Path(),
                       .LastImagePath = lastImagePath};
    RunCalculation(fields, context);
    return ReadBytes(folder / "pix/nimbra000.tga");
}

void UseFileRun(TCalcForm& form, const char* width, const char* height, const char* iterations)
{
    TypeInto(form.WidthEdit, width);
    TypeInto(form.HeightEdit, height);
    TypeInto(form.IterationEdit, iterations);
    QVERIFY(!form.SetTestMode->isChecked());
}

bool PixFolderIsEmpty() { return std::filesystem::is_empty("pix"); }

}  // namespace

class RunInWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() { folder_ = std::make_unique<TempFolder>(); inside_ = std::make_unique<CurrentDirectory>(folder_->Path()); }
    void cleanup() { inside_.reset(); folder_.reset(); }

    void AFileRunWritesTheRenderersImage()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        UseFileRun(form, "64", "48", "100");
        TypeInto(form.RealFEdit, "-1.5");
        QTest::mouseClick(form.SetInvers, Qt::LeftButton);
        QTest::mouseClick(form.SetCMY, Qt::LeftButton);
        TypeInto(form.IterationEdit, "300");
        const ParamFields typed = form.GatherFields();
        QTest::mouseClick(form.MakeButton, Qt::LeftButton);

        QVERIFY(program.Dialogs.Messages.empty());
        const std::vector<std::uint8_t> written = ReadBytes("pix/nimbra000.tga");
        QCOMPARE(written.size(), std::size_t{18 + 64 * 48 * 3});
        QVERIFY(written == RendererImage(typed));
        QVERIFY(form.ShowBtn->isEnabled());
        QCOMPARE(form.MakeButton->text(), QStringLiteral("&Berechnen"));
        QCOMPARE(form.LastImagePath, form.StartFolder + "pix/nimbra000.tga");
        QCOMPARE(form.RealFEdit->text(), QStringLiteral("-1,5"));
        QVERIFY(program.PreView->isHidden());
    }

    void ARefusedFieldStartsNothing()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        UseFileRun(form, "12a", "48", "100");
        QTest::mouseClick(form.MakeButton, Qt::LeftButton);
        QCOMPARE(program.Dialogs.Messages, Texts({"'12a' ist kein gültiger Integerwert"}));
        QVERIFY(PixFolderIsEmpty());
        QVERIFY(!form.Run.Running);
        QCOMPARE(form.MakeButton->text(), QStringLiteral("&Berechnen"));
        QVERIFY(!form.ShowBtn->isEnabled());

        TypeInto(form.WidthEdit, "64");
        TypeInto(form.ImagTEdit, "1.2.3");
        QTest::mouseClick(form.MakeButton, Qt::LeftButton);
        QCOMPARE(program.Dialogs.Messages.back(), std::string("'1,2,3' ist kein gültiger Gleitkommawert"));
        QVERIFY(PixFolderIsEmpty());
    }

    void ASecondClickStopsAFileRunAndLeavesNoFile()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        UseFileRun(form, "640", "480", "5000");
        QString captionDuringRun;
        bool showButtonDuringRun = true;
        DuringTheRun(form, [&] {
            captionDuringRun = form.MakeButton->text();
            showButtonDuringRun = form.ShowBtn->isEnabled();
            QTest::mouseClick(form.MakeButton, Qt::LeftButton);
        });
        QTest::mouseClick(form.MakeButton, Qt::LeftButton);
        QCOMPARE(captionDuringRun, QStringLiteral("&Stop !"));
        QVERIFY(!showButtonDuringRun);
        QVERIFY(!form.Run.Running);
        QCOMPARE(form.MakeButton->text(), QStringLiteral("&Berechnen"));
        QVERIFY(!form.ShowBtn->isEnabled());
        QVERIFY(PixFolderIsEmpty());
        QVERIFY(program.Dialogs.Messages.empty());
    }

    void AFileRunOnEveryCoreStoppedLeavesNoFile()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(form.WorkerThreads() >= static_cast<int>(std::min(2u, std::thread::hardware_concurrency())));
        UseFileRun(form, "800", "600", "100000");
        TypeInto(form.RealFEdit, "-0,5");  // inside the set: every row takes long
        TypeInto(form.RealTEdit, "0");
        TypeInto(form.ImagFEdit, "-0,2");
        TypeInto(form.ImagTEdit, "0,2");
        std::uint16_t rowWhenStopped = 0;
        DuringTheRun(form, [&] {
            rowWhenStopped = form.Run.CurrentRow;
            QTest::mouseClick(form.MakeButton, Qt::LeftButton);
        });
        QTest::mouseClick(form.MakeButton, Qt::LeftButton);
        QVERIFY(rowWhenStopped < 600);
        QVERIFY(!form.Run.Running);
        QVERIFY(PixFolderIsEmpty());
        QVERIFY(!form.ShowBtn->isEnabled());
        QCOMPARE(form.MakeButton->text(), QStringLiteral("&Berechnen"));
    }

    void AFormulaChosenDuringARunAppliesToThePixelsAfterIt()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        UseFileRun(form, "300", "200", "3000");
        const ParamFields typed = form.GatherFields();
        DuringTheRun(form, [&] {
            program.Dialogs.YesNoAnswers.push_back(false);  // keep the fields
            form.BurnShip1->trigger();
        });
        QTest::mouseClick(form.MakeButton, Qt::LeftButton);

        const std::vector<std::uint8_t> written = ReadBytes("pix/nimbra000.tga");
        const std::vector<std::uint8_t> mandelbrot = RendererImage(typed, FormulaKind::Mandelbrot);
        const std::vector<std::uint8_t> ship = RendererImage(typed, FormulaKind::BurningShip);
        QCOMPARE(written.size(), mandelbrot.size());
        const std::size_t rowBytes = 300 * 3;
        const auto firstPixel = [](const std::vector<std::uint8_t>& image) {
            return std::vector<std::uint8_t>(image.begin() + 18, image.begin() + 21);
        };
        const auto lastRow = [&](const std::vector<std::uint8_t>& image) {
            return std::vector<std::uint8_t>(image.end() - static_cast<std::ptrdiff_t>(rowBytes), image.end());
        };
        QVERIFY(firstPixel(written) == firstPixel(mandelbrot));
        QVERIFY(lastRow(written) == lastRow(ship));
        QVERIFY(lastRow(ship) != lastRow(mandelbrot));
        QCOMPARE(form.FormelName->text(), QStringLiteral("Burning Ship"));
    }

    void ASecondClickStopsAPreviewRunAndClosesThePreview()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        TypeInto(form.IterationEdit, "256");
        TypeInto(form.RealFEdit, "-0,75");  // mostly inside the set: slow enough to be caught running
        TypeInto(form.RealTEdit, "0,25");
        TypeInto(form.ImagFEdit, "-0,1");
        TypeInto(form.ImagTEdit, "0,1");
        bool previewShownDuringRun = false;
        DuringTheRun(form, [&] {
            previewShownDuringRun = program.PreView->isVisible();
            QTest::mouseClick(form.MakeButton, Qt::LeftButton);
        });
        QTest::mouseClick(form.MakeButton, Qt::LeftButton);
        QVERIFY(previewShownDuringRun);
        QVERIFY(program.PreView->isHidden());
        QVERIFY(!form.Run.Running);
        QCOMPARE(form.MakeButton->text(), QStringLiteral("&Berechnen"));
        QVERIFY(PixFolderIsEmpty());
    }

    void TheTimerCountsRowsAndTimeDuringARun()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        UseFileRun(form, "640", "480", "5000");
        QString status, elapsed, remaining;
        std::uint16_t row = 0;
        DuringTheRun(form, [&] {
            program.Now += 30.0 / 86400;
            form.Timer1Timer();
            row = form.Run.CurrentRow;
            status = form.StBar->currentMessage();
            elapsed = form.NormTime->text();
            remaining = form.CalcTime->text();
            QTest::mouseClick(form.MakeButton, Qt::LeftButton);
        });
        QTest::mouseClick(form.MakeButton, Qt::LeftButton);
        QCOMPARE(status, QStringLiteral("berechne Zeile %1 von 480 ...").arg(row));
        QCOMPARE(elapsed, QStringLiteral("seit  00:00:30"));
        QVERIFY(remaining.startsWith(QStringLiteral("noch  ")));
        form.Timer1Timer();
        QCOMPARE(form.StBar->currentMessage(), QStringLiteral("Bereit ..."));
        QCOMPARE(form.CalcTime->text(), QString());
    }

    void ClosingDuringARunAnsweredNoKeepsTheWindow()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        UseFileRun(form, "640", "480", "5000");
        QSignalSpy closed(&form, &TCalcForm::Closed);
        program.Dialogs.YesNoAnswers = {false};
        bool stillRunning = false;
        DuringTheRun(form, [&] {
            QVERIFY(!form.close());
            stillRunning = form.Run.Running && !form.Run.StopRequested;
            QTest::mouseClick(form.MakeButton, Qt::LeftButton);
        });
        QTest::mouseClick(form.MakeButton, Qt::LeftButton);
        QCOMPARE(program.Dialogs.Questions, Texts({"Berechnung läuft ! Soll das Programm beendet werden ?"}));
        QCOMPARE(program.Dialogs.QuestionCaptions, Texts({"Bestätigung"}));
        QVERIFY(stillRunning);
        QVERIFY(form.isVisible());
        QCOMPARE(closed.count(), 0);
        QVERIFY(!std::filesystem::exists("param/nimbra.par") && !std::filesystem::exists("param/nimbra.prf"));
        QVERIFY(PixFolderIsEmpty());
    }

    void ClosingDuringARunAnsweredYesEndsTheRunAndThenTheProgram()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        UseFileRun(form, "640", "480", "5000");
        QSignalSpy closed(&form, &TCalcForm::Closed);
        program.Dialogs.YesNoAnswers = {true};
        bool openDuringUnwind = false;
        DuringTheRun(form, [&] {
            QVERIFY(!form.close());
            openDuringUnwind = form.isVisible() && closed.count() == 0 && !program.Palette.Empty();
        });
        QTest::mouseClick(form.MakeButton, Qt::LeftButton);
        QVERIFY(openDuringUnwind);
        QVERIFY(!form.Run.Running);
        QVERIFY(!form.isVisible());
        QCOMPARE(closed.count(), 1);
        QVERIFY(PixFolderIsEmpty());
        QVERIFY(!std::filesystem::exists("param/nimbra.par") && !std::filesystem::exists("param/nimbra.prf"));
    }

    void EnterInAFieldPressesTheCalculateButton()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        UseFileRun(form, "8", "8", "50");
        QTest::keyClick(form.IterationEdit, Qt::Key_Return);
        QVERIFY(std::filesystem::exists("pix/nimbra000.tga"));
    }

    void AltBPressesTheCalculateButtonThoughTheMenuSharesIt()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        UseFileRun(form, "8", "8", "50");
        QTest::keyClick(form.HeightEdit, Qt::Key_B, Qt::AltModifier);
        QVERIFY(std::filesystem::exists("pix/nimbra000.tga"));
    }

private:
    std::unique_ptr<TempFolder> folder_;
    std::unique_ptr<CurrentDirectory> inside_;
};

NIMBRA_UI_TEST(RunInWindowTest)
#include "run_in_window_test.moc"
