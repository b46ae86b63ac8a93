#include "mainwindow/ui/calc_form.h"
#include "mainwindow/ui/preview_window.h"
#include "tests/support/run_fixture.h"
#include "tests/ui/ui_program.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <thread>

using namespace nimbra;
using namespace nimbra::testing;

namespace {

using Texts = std::vector<std::string>;

// The image the core run writes for these fields, without any window.
std::vector<std::uint8_t> RendererImage(const ParamFields& fields, FormulaKind formula = FormulaKind::Mandelbrot)
{
    RunFixture run;
    run.Headless.Params.Formula = static_cast<std::uint8_t>(formula);
    RunCalculation(fields, run.Context);
    return ReadBytes(run.Folder / "pix/nimbra000.tga");
}

// False when a field could not be typed into or the size typed left the preview option on.
[[nodiscard]] bool UseFileRun(TCalcForm& form, const char* width, const char* height, const char* iterations)
{
    return TypeInto(Find<QLineEdit>(form, "WidthEdit"), width) &&
           TypeInto(Find<QLineEdit>(form, "HeightEdit"), height) &&
           TypeInto(Find<QLineEdit>(form, "IterationEdit"), iterations) &&
           !Find<QCheckBox>(form, "SetTestMode")->isChecked();
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
        QVERIFY(UseFileRun(form, "64", "48", "100"));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "RealFEdit"), "-1.5"));
        QTest::mouseClick(Find<QCheckBox>(form, "SetInvers"), Qt::LeftButton);
        QTest::mouseClick(Find<QRadioButton>(form, "SetCMY"), Qt::LeftButton);
        QVERIFY(TypeInto(Find<QLineEdit>(form, "IterationEdit"), "300"));
        const ParamFields typed = form.GatherFields();
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);

        QVERIFY(program.Dialogs.Messages.empty());
        const std::vector<std::uint8_t> written = ReadBytes("pix/nimbra000.tga");
        QCOMPARE(written.size(), std::size_t{18 + 64 * 48 * 3});
        QVERIFY(written == RendererImage(typed));
        QVERIFY(Find<QPushButton>(form, "ShowBtn")->isEnabled());
        QCOMPARE(Find<QPushButton>(form, "MakeButton")->text(), QStringLiteral("&Berechnen"));
        QCOMPARE(program.State.LastImagePath, program.State.StartFolder + "pix/nimbra000.tga");
        QCOMPARE(Find<QLineEdit>(form, "RealFEdit")->text(), QStringLiteral("-1,5"));
        QVERIFY(program.PreView->isHidden());
    }

    void ARefusedFieldStartsNothing()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(UseFileRun(form, "12a", "48", "100"));
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        QCOMPARE(program.Dialogs.Messages, Texts({"'12a' ist kein gültiger Integerwert"}));
        QVERIFY(PixFolderIsEmpty());
        QVERIFY(!program.State.Run.Running);
        QCOMPARE(Find<QPushButton>(form, "MakeButton")->text(), QStringLiteral("&Berechnen"));
        QVERIFY(!Find<QPushButton>(form, "ShowBtn")->isEnabled());

        QVERIFY(TypeInto(Find<QLineEdit>(form, "WidthEdit"), "64"));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "ImagTEdit"), "1.2.3"));
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        QCOMPARE(program.Dialogs.Messages.back(), std::string("'1,2,3' ist kein gültiger Gleitkommawert"));
        QVERIFY(PixFolderIsEmpty());
    }

    void ASecondClickStopsAFileRunAndLeavesNoFile()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(UseFileRun(form, "640", "480", "5000"));
        QString captionDuringRun;
        bool showButtonDuringRun = true;
        DuringTheRun(program, [&] {
            captionDuringRun = Find<QPushButton>(form, "MakeButton")->text();
            showButtonDuringRun = Find<QPushButton>(form, "ShowBtn")->isEnabled();
            QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        });
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        QCOMPARE(captionDuringRun, QStringLiteral("&Stop !"));
        QVERIFY(!showButtonDuringRun);
        QVERIFY(!program.State.Run.Running);
        QCOMPARE(Find<QPushButton>(form, "MakeButton")->text(), QStringLiteral("&Berechnen"));
        QVERIFY(!Find<QPushButton>(form, "ShowBtn")->isEnabled());
        QVERIFY(PixFolderIsEmpty());
        QVERIFY(program.Dialogs.Messages.empty());
    }

    void AFileRunOnEveryCoreStoppedLeavesNoFile()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(program.State.WorkerThreads >= static_cast<int>(std::min(2u, std::thread::hardware_concurrency())));
        QVERIFY(UseFileRun(form, "800", "600", "100000"));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "RealFEdit"), "-0,5"));  // inside the set: every row takes long
        QVERIFY(TypeInto(Find<QLineEdit>(form, "RealTEdit"), "0"));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "ImagFEdit"), "-0,2"));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "ImagTEdit"), "0,2"));
        std::uint16_t rowWhenStopped = 0;
        DuringTheRun(program, [&] {
            rowWhenStopped = program.State.Run.CurrentRow;
            QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        });
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        QVERIFY(rowWhenStopped < 600);
        QVERIFY(!program.State.Run.Running);
        QVERIFY(PixFolderIsEmpty());
        QVERIFY(!Find<QPushButton>(form, "ShowBtn")->isEnabled());
        QCOMPARE(Find<QPushButton>(form, "MakeButton")->text(), QStringLiteral("&Berechnen"));
    }

    void AFormulaChosenDuringARunAppliesToThePixelsAfterIt()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(UseFileRun(form, "300", "200", "3000"));
        const ParamFields typed = form.GatherFields();
        // Chosen once the first row is written, whatever the pace of the threads: a formula chosen
        // while the first row is awaited applies to that row already.
        std::function<void()> choose = [&] {
            if (program.State.Run.CurrentRow == 0) {
                QTimer::singleShot(0, &form, choose);
                return;
            }
            program.Dialogs.YesNoAnswers.push_back(false);  // keep the fields
            Find<QAction>(form, "BurnShip1")->trigger();
        };
        DuringTheRun(program, choose);
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);

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
        QCOMPARE(Find<QLabel>(form, "FormelName")->text(), QStringLiteral("Burning Ship"));
    }

    void ASecondClickStopsAPreviewRunAndClosesThePreview()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(TypeInto(Find<QLineEdit>(form, "IterationEdit"), "256"));
        // Mostly inside the set: slow enough to be caught running.
        QVERIFY(TypeInto(Find<QLineEdit>(form, "RealFEdit"), "-0,75"));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "RealTEdit"), "0,25"));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "ImagFEdit"), "-0,1"));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "ImagTEdit"), "0,1"));
        bool previewShownDuringRun = false;
        DuringTheRun(program, [&] {
            previewShownDuringRun = program.PreView->isVisible();
            QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        });
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        QVERIFY(previewShownDuringRun);
        QVERIFY(program.PreView->isHidden());
        QVERIFY(!program.State.Run.Running);
        QCOMPARE(Find<QPushButton>(form, "MakeButton")->text(), QStringLiteral("&Berechnen"));
        QVERIFY(PixFolderIsEmpty());
    }

    void TheTimerCountsRowsAndTimeDuringARun()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(UseFileRun(form, "640", "480", "5000"));
        QString status, elapsed, remaining;
        std::uint16_t row = 0;
        DuringTheRun(program, [&] {
            program.Now += 30.0 / 86400;
            form.Timer1Timer();
            row = program.State.Run.CurrentRow;
            status = Find<QStatusBar>(form, "StBar")->currentMessage();
            elapsed = Find<QLabel>(form, "NormTime")->text();
            remaining = Find<QLabel>(form, "CalcTime")->text();
            QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        });
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        QCOMPARE(status, QStringLiteral("berechne Zeile %1 von 480 ...").arg(row));
        QCOMPARE(elapsed, QStringLiteral("seit  00:00:30"));
        QVERIFY(remaining.startsWith(QStringLiteral("noch  ")));
        // At once, not at the next tick.
        QCOMPARE(Find<QStatusBar>(form, "StBar")->currentMessage(), QStringLiteral("Bereit ..."));
        QCOMPARE(Find<QLabel>(form, "CalcTime")->text(), QString());
    }

    void ClosingDuringARunAnsweredNoKeepsTheWindow()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(UseFileRun(form, "640", "480", "5000"));
        QSignalSpy closed(&form, &TCalcForm::Closed);
        program.Dialogs.YesNoAnswers = {false};
        bool closeRefused = false;
        bool stillRunning = false;
        DuringTheRun(program, [&] {
            closeRefused = !form.close();
            stillRunning = program.State.Run.Running && !program.State.Run.StopRequested;
            QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        });
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        QCOMPARE(program.Dialogs.Questions, Texts({"Berechnung läuft ! Soll das Programm beendet werden ?"}));
        QCOMPARE(program.Dialogs.QuestionCaptions, Texts({"Bestätigung"}));
        QVERIFY(closeRefused && stillRunning);
        QVERIFY(form.isVisible());
        QCOMPARE(closed.count(), 0);
        QVERIFY(!std::filesystem::exists("param/nimbra.par") && !std::filesystem::exists("param/nimbra.prf"));
        QVERIFY(PixFolderIsEmpty());
    }

    void ClosingDuringARunAnsweredYesEndsTheRunThenSavesAndCloses()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        program.Dialogs.YesNoAnswers = {false, true};  // Julia without its defaults; then close
        Find<QAction>(form, "Julia1")->trigger();
        QVERIFY(TypeInto(Find<QComboBox>(form, "r0"), "0.285"));
        TabAway(Find<QComboBox>(form, "r0"));
        QVERIFY(UseFileRun(form, "640", "480", "5000"));
        QSignalSpy closed(&form, &TCalcForm::Closed);
        bool closeDeferred = false;
        bool openDuringUnwind = false;
        DuringTheRun(program, [&] {
            closeDeferred = !form.close();
            openDuringUnwind = form.isVisible() && closed.count() == 0 && !program.Palette.Empty();
        });
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        QVERIFY(closeDeferred && openDuringUnwind);
        QVERIFY(!program.State.Run.Running);
        QVERIFY(!form.isVisible());
        QCOMPARE(closed.count(), 1);
        QVERIFY(PixFolderIsEmpty());
        QCOMPARE(ReadBytes("param/nimbra.par"),
                 std::vector<std::uint8_t>({'0', ',', '2', '8', '5', '-', '!', '!', '-', '\r', '\n'}));
        QVERIFY(std::filesystem::exists("param/nimbra.prf"));
    }

    void EnterInAFieldPressesTheCalculateButton()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(UseFileRun(form, "8", "8", "50"));
        QTest::keyClick(Find<QLineEdit>(form, "IterationEdit"), Qt::Key_Return);
        QVERIFY(std::filesystem::exists("pix/nimbra000.tga"));
    }

    void AltBPressesTheCalculateButtonThoughTheMenuSharesIt()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(UseFileRun(form, "8", "8", "50"));
        QTest::keyClick(Find<QLineEdit>(form, "HeightEdit"), Qt::Key_B, Qt::AltModifier);
        QVERIFY(std::filesystem::exists("pix/nimbra000.tga"));
    }

private:
    std::unique_ptr<TempFolder> folder_;
    std::unique_ptr<CurrentDirectory> inside_;
};

QTEST_MAIN(RunInWindowTest)
#include "run_in_window_test.moc"
