#include "files/palette_file.h"
#include "mainwindow/mode_picture_colours.h"
#include "mainwindow/ui/calc_form.h"
#include "mainwindow/ui/mode_picture.h"
#include "tests/ui/ui_program.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <ctime>
#include <functional>

using namespace nimbra;
using namespace nimbra::testing;

namespace {

using Texts = std::vector<std::string>;

// Runs steps once the modal window is open; a window the steps left open is closed, so that a
// step that went wrong cannot hang the test. The steps record what they see for the test to check.
void WhileOpen(QDialog& dialog, std::function<void()> steps)
{
    QTimer::singleShot(0, &dialog, [&dialog, steps = std::move(steps)]() mutable {
        if (!dialog.isVisible()) {
            WhileOpen(dialog, std::move(steps));
            return;
        }
        steps();
        if (dialog.isVisible()) dialog.done(QDialog::Rejected);
    });
}

// Presses on the strip, moves and releases over the group box at target, as a user drags.
void DragStripTo(TLPal& editor, QPoint groupBoxTarget)
{
    auto* strip = Find<QWidget>(editor, "Palette");
    const QPoint to = groupBoxTarget - strip->pos();
    QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseMove(strip, to);
    QTest::mouseRelease(strip, Qt::LeftButton, {}, to);
}

bool PictureShowsGradient(const TCalcForm& form, const PaletteList& palette)
{
    const std::vector<Rgb> columns = GradientStripColumns(palette, ModePictureWidth);
    const QImage& picture = Find<ModePicture>(form, "ModePic")->Picture();
    for (int x = 0; x < ModePictureWidth; ++x) {
        const Rgb c = columns[static_cast<std::size_t>(x)];
        if (picture.pixelColor(x, 0) != QColor(c.Red, c.Green, c.Blue)) return false;
    }
    return true;
}

[[nodiscard]] bool FileRunOf(TCalcForm& form, const char* width, const char* height)
{
    if (!TypeInto(Find<QLineEdit>(form, "WidthEdit"), width) || !TypeInto(Find<QLineEdit>(form, "HeightEdit"), height))
        return false;
    QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
    return true;
}

std::time_t LocalNoon(int year, int month, int day)
{
    std::tm date{};
    date.tm_year = year - 1900;
    date.tm_mon = month - 1;
    date.tm_mday = day;
    date.tm_hour = 12;
    date.tm_isdst = -1;
    return std::mktime(&date);
}

}  // namespace

class MenuCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { folder_ = std::make_unique<TempFolder>(); inside_ = std::make_unique<CurrentDirectory>(folder_->Path()); }
    void cleanup() { inside_.reset(); folder_.reset(); }

    void F9OpensTheEditorAndShowsItsGradientAfterwards()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        TLPal& editor = program.Windows->LPal;
        const std::vector<PaletteNode> before = program.Palette.Nodes();
        bool wasModal = false;
        bool gradientModel = false;
        QString iterationsWhileOpen;
        WhileOpen(editor, [&] {
            wasModal = editor.isModal();
            gradientModel = Find<QRadioButton>(form, "SetGrad")->isChecked();
            iterationsWhileOpen = Find<QLineEdit>(form, "IterationEdit")->text();
            Find<QLineEdit>(form, "IterationEdit")->setText(QStringLiteral("999"));
            DragStripTo(editor, QPoint(108, 50));
            program.Dialogs.YesNoAnswers.push_back(true);  // leave without saving
            QTest::mouseClick(Find<QPushButton>(editor, "Ende"), Qt::LeftButton);
        });
        QVERIFY(PressKey(form, Qt::Key_F9));
        QVERIFY(wasModal && gradientModel);
        QCOMPARE(iterationsWhileOpen, QStringLiteral("256"));
        QVERIFY(editor.isHidden());
        QCOMPARE(program.Palette.Nodes().size(), before.size() + 1);
        QCOMPARE(Find<QLineEdit>(form, "IterationEdit")->text(), QStringLiteral("256"));
        QVERIFY(PictureShowsGradient(form, program.Palette));
        QCOMPARE(program.Dialogs.Questions, Texts({"Palette wurde noch nicht gespeichert ! Trotzdem beenden ?"}));
    }

    void F4CopiesTheSizeAndSwitchesThePreviewOff()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        TGetXYSize& calculator = program.Windows->GetXYSize;
        WhileOpen(calculator, [&] {
            calculator.DIN->setEditText(QStringLiteral("A3"));
            QTest::mouseClick(calculator.Button1, Qt::LeftButton);
        });
        QVERIFY(PressKey(form, Qt::Key_F4));
        QCOMPARE(Find<QLineEdit>(form, "WidthEdit")->text(), QStringLiteral("1697"));
        QCOMPARE(Find<QLineEdit>(form, "HeightEdit")->text(), QStringLiteral("1200"));
        QVERIFY(!Find<QCheckBox>(form, "SetTestMode")->isChecked());

        Find<QCheckBox>(form, "SetTestMode")->setChecked(true);
        WhileOpen(calculator, [&] {
            calculator.DIN->setEditText(QStringLiteral("A6"));
            QTest::mouseClick(calculator.Button2, Qt::LeftButton);
        });
        QVERIFY(PressKey(form, Qt::Key_F4));
        QCOMPARE(Find<QLineEdit>(form, "WidthEdit")->text(), QStringLiteral("1697"));
        QCOMPARE(Find<QLineEdit>(form, "HeightEdit")->text(), QStringLiteral("1200"));
        QVERIFY(!Find<QCheckBox>(form, "SetTestMode")->isChecked());
    }

    void F5SetsTheViewerThatShowsTheLastImage()
    {
        // A folder with a blank: the image path still reaches the viewer as one argument.
        std::filesystem::create_directory("mit Leerzeichen");
        CurrentDirectory blankFolder("mit Leerzeichen");
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(FileRunOf(form, "8", "6"));
        QVERIFY(Find<QPushButton>(form, "ShowBtn")->isEnabled());
        QTest::mouseClick(Find<QPushButton>(form, "ShowBtn"), Qt::LeftButton);
        QCOMPARE(program.Dialogs.Messages,
                 Texts({"Es wurde noch kein Betrachtungsprogramm konfiguriert. Bitte konfigurieren Sie zuerst mit F5 !"}));
        QVERIFY(program.System.StartedPrograms.empty());

        TPrefs& prefs = program.Windows->Prefs;
        WhileOpen(prefs, [&] {
            program.Dialogs.FileAnswers.push_back("/usr/bin/image viewer");
            QTest::mouseClick(prefs.SB, Qt::LeftButton);
            QTest::mouseClick(prefs.OKBtn, Qt::LeftButton);
        });
        QVERIFY(PressKey(form, Qt::Key_F5));
        QCOMPARE(program.State.ViewerProgram, std::string("/usr/bin/image viewer"));
        QTest::mouseClick(Find<QPushButton>(form, "ShowBtn"), Qt::LeftButton);
        const std::vector<std::pair<std::string, std::string>> started = {
            {"/usr/bin/image viewer", program.State.StartFolder + "pix/nimbra000.tga"}};
        QCOMPARE(program.System.StartedPrograms, started);
        QVERIFY(program.State.StartFolder.find("mit Leerzeichen/") != std::string::npos);

        WhileOpen(prefs, [&] { QTest::mouseClick(prefs.CnclBtn, Qt::LeftButton); });
        QVERIFY(PressKey(form, Qt::Key_F5));
        QCOMPARE(program.State.ViewerProgram, std::string("/usr/bin/image viewer"));
    }

    void TheWebCommandsStartTheBrowser()
    {
        UiProgram program;
        program.System.ExecutableModifiedValue = LocalNoon(2005, 3, 5);
        QVERIFY(PressKey(*program.Form, Qt::Key_O, Qt::ControlModifier));
        QVERIFY(PressKey(*program.Form, Qt::Key_U, Qt::ControlModifier));
        QCOMPARE(program.System.StartedCommandLines,
                 Texts({"xdg-open http://www.nimbra-fraktale.de/loader.php4?use=man",
                        "xdg-open http://www.nimbra-fraktale.de/loader.php4?use=upd&version=20050305"}));
        QVERIFY(program.Dialogs.Messages.empty());
    }

    void F1ShowsTheHelpUntilTheProgramEnds()
    {
        UiProgram program;
        THelp& help = program.Windows->Help;
        QVERIFY(help.isHidden());
        QVERIFY(PressKey(*program.Form, Qt::Key_F1));
        QVERIFY(help.isVisible());
        program.Form->close();
        QVERIFY(help.isHidden());
    }

    // The palette editor is modal, but its F1 brings a help the user can read and scroll.
    void F1FromThePaletteEditorShowsAUsableHelp()
    {
        UiProgram program;
        THelp& help = program.Windows->Help;
        TLPal& editor = program.Windows->LPal;
        bool scrolled = false;
        WhileOpen(editor, [&] {
            QTest::keyClick(&editor, Qt::Key_F1);
            if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == &help; })) return;
            QTest::keyClick(help.windowHandle(), Qt::Key_End);  // as the system delivers it
            scrolled = help.HelpText->verticalScrollBar()->value() > 0;
        });
        QVERIFY(PressKey(*program.Form, Qt::Key_F9));
        QVERIFY(scrolled);
    }

    void CtrlIShowsTheAboutBoxModally()
    {
        UiProgram program;
        TCopyright& about = program.Windows->Copyright;
        bool wasModal = false;
        WhileOpen(about, [&] {
            wasModal = about.isModal();
            QTest::mouseClick(about.OKButton, Qt::LeftButton);
        });
        QVERIFY(PressKey(*program.Form, Qt::Key_I, Qt::ControlModifier));
        QVERIFY(wasModal);
        QVERIFY(about.isHidden());
        QCOMPARE(about.TitleLabel->text(), QStringLiteral("Nimbra 2005"));
        QCOMPARE(about.AddressLabel->text(), QStringLiteral("http://www.nimbra-fraktale.de"));
    }

    void AConversionFromTheMenuWritesItsCopy()
    {
        UiProgram program;
        const std::string source = program.State.StartFolder + "pix/two.tga";
        std::vector<std::uint8_t> bytes(18, 0);
        for (std::uint8_t b : {10, 20, 30, 200, 100, 60}) bytes.push_back(b);
        WriteBytes(source, bytes);
        program.Dialogs.FileAnswers = {source};
        Find<QAction>(*program.Form, "CMYRGB1")->trigger();
        const std::string converted = program.State.StartFolder + "pix/CONV_two.tga";
        QCOMPARE(program.Dialogs.Messages, Texts({"Konvertierung beendet --> " + converted}));
        std::vector<std::uint8_t> expected(18, 0);
        for (std::uint8_t b : {50, 40, 30, 160, 4, 44}) expected.push_back(b);
        QCOMPARE(ReadBytes(converted), expected);
        QCOMPARE(program.Dialogs.FileRequests.at(0).Title, std::string("Grafikdaten laden"));
        QVERIFY(program.Windows->Convert.isHidden());
    }

    // The menu's shortcuts belong to the program: they work in the preview and, but for its own
    // F9, in the palette editor; the Return key computes only in the main window.
    void ShortcutsWorkFromThePreviewAndThePaletteEditor()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        auto* width = Find<QLineEdit>(form, "WidthEdit");
        QVERIFY(TypeInto(width, "800"));  // the preview is off: Return would write a file
        program.PreView->Show();
        QVERIFY(MakeActive(program.PreView));
        QTest::keyClick(program.PreView, Qt::Key_Return);
        QTest::keyClick(program.PreView, Qt::Key_F8);
        QCOMPARE(width->text(), QStringLiteral("640"));
        QVERIFY(std::filesystem::is_empty("pix"));

        QVERIFY(TypeInto(width, "800"));
        TLPal& editor = program.Windows->LPal;
        WhileOpen(editor, [&] { QTest::keyClick(&editor, Qt::Key_F8); });
        QVERIFY(PressKey(form, Qt::Key_F9));
        QCOMPARE(width->text(), QStringLiteral("640"));
    }

    // The user's whole way: a gradient built in the editor, an image computed with it, the setup
    // saved, everything reset, the setup loaded, and the same image computed again.
    void ALoadedSetupComputesTheSameImage()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        TLPal& editor = program.Windows->LPal;
        const std::string palettePath = folder_->Path() + "pal/built.pal";
        WhileOpen(editor, [&] {
            DragStripTo(editor, QPoint(208, 50));
            program.Dialogs.ColourAnswers.push_back(Rgb{255, 40, 0});
            auto* endPoint = Find<QWidget>(editor, "EndPoint");
            QContextMenuEvent recolour(QContextMenuEvent::Mouse, QPoint(4, 4), endPoint->mapToGlobal(QPoint(4, 4)));
            QApplication::sendEvent(endPoint, &recolour);
            program.Dialogs.FileAnswers.push_back(palettePath);
            Find<QAction>(editor, "Save")->trigger();
            QTest::mouseClick(Find<QPushButton>(editor, "Ende"), Qt::LeftButton);
        });
        QVERIFY(PressKey(form, Qt::Key_F9));
        const std::vector<PaletteNode> built = program.Palette.Nodes();
        QCOMPARE(built.size(), std::size_t{5});
        QVERIFY(FileExists(palettePath));

        QVERIFY(TypeInto(Find<QLineEdit>(form, "IterationEdit"), "300"));
        QVERIFY(FileRunOf(form, "64", "48"));
        const std::vector<std::uint8_t> image = ReadBytes("pix/nimbra000.tga");
        QCOMPARE(image.size(), std::size_t{18 + 64 * 48 * 3});
        const std::string configPath = folder_->Path() + "cfg/built.cfg";
        program.Dialogs.FileAnswers.push_back(configPath);
        QVERIFY(PressKey(form, Qt::Key_F3));

        QVERIFY(PressKey(form, Qt::Key_F8));
        program.Palette.ResetPalette();
        QTest::mouseClick(Find<QRadioButton>(form, "SetRGB"), Qt::LeftButton);
        Find<QCheckBox>(form, "SetTestMode")->setChecked(true);

        program.Dialogs.FileAnswers.push_back(configPath);
        QVERIFY(PressKey(form, Qt::Key_F2));
        QCOMPARE(program.Palette.Nodes(), built);
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        QCOMPARE(ReadBytes("pix/nimbra001.tga"), image);
        QVERIFY(program.Dialogs.Messages.empty());
        QVERIFY(program.Dialogs.Unexpected.empty());
    }

private:
    std::unique_ptr<TempFolder> folder_;
    std::unique_ptr<CurrentDirectory> inside_;
};

QTEST_MAIN(MenuCommandsTest)
#include "menu_commands_test.moc"
