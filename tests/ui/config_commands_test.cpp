#include "mainwindow/mode_picture_colours.h"
#include "mainwindow/ui/calc_form.h"
#include "mainwindow/ui/mode_picture.h"
#include "tests/ui/ui_program.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>

using namespace nimbra;
using namespace nimbra::testing;

namespace {

using Texts = std::vector<std::string>;

// Every control a configuration sets, as text, in one list.
QStringList ControlStates(const TCalcForm& form)
{
    const auto flag = [](bool on) { return on ? QStringLiteral("on") : QStringLiteral("off"); };
    const auto text = [&form](const char* edit) { return Find<QLineEdit>(form, edit)->text(); };
    const auto checked = [&form, flag](const char* button) {
        return flag(Find<QAbstractButton>(form, button)->isChecked());
    };
    return {text("WidthEdit"),
            text("HeightEdit"),
            text("IterationEdit"),
            text("RealFEdit"),
            text("RealTEdit"),
            text("ImagFEdit"),
            text("ImagTEdit"),
            Find<QComboBox>(form, "r0")->currentText(),
            Find<QComboBox>(form, "i0")->currentText(),
            checked("SetRGB"),
            checked("SetCMY"),
            checked("SetGrad"),
            checked("SetInvers"),
            checked("SetTestMode"),
            Find<QLabel>(form, "FormelName")->text(),
            flag(Find<QAction>(form, "Julia1")->isChecked()),
            flag(Find<QComboBox>(form, "r0")->isVisible())};
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

[[nodiscard]] bool SaveAs(UiProgram& program, const std::string& path)
{
    program.Dialogs.FileAnswers.push_back(path);
    return PressKey(*program.Form, Qt::Key_F3);
}

[[nodiscard]] bool Load(UiProgram& program, const std::string& path)
{
    program.Dialogs.FileAnswers.push_back(path);
    return PressKey(*program.Form, Qt::Key_F2);
}

// The palette model without preview and inversion: the only setup saved with its gradient.
void ChoosePaletteModelForAFile(TCalcForm& form)
{
    QTest::mouseClick(Find<QRadioButton>(form, "SetGrad"), Qt::LeftButton);
    Find<QCheckBox>(form, "SetTestMode")->setChecked(false);
}

}  // namespace

class ConfigCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { folder_ = std::make_unique<TempFolder>(); inside_ = std::make_unique<CurrentDirectory>(folder_->Path()); }
    void cleanup() { inside_.reset(); folder_.reset(); }

    void TheDialogsAskForConfigurationFiles()
    {
        UiProgram program;
        program.Dialogs.FileAnswers = {std::nullopt, std::nullopt};
        QVERIFY(PressKey(*program.Form, Qt::Key_F3));
        QVERIFY(PressKey(*program.Form, Qt::Key_F2));
        QCOMPARE(program.Dialogs.FileRequests.size(), std::size_t{2});
        const FileRequest& save = program.Dialogs.FileRequests[0];
        QVERIFY(save.DialogKind == FileRequest::Kind::Save);
        QCOMPARE(save.Title, std::string("Konfiguration sichern"));
        QCOMPARE(save.Filter, std::string("Konfigurationsdateien|*.cfg"));
        QCOMPARE(save.DefaultExtension, std::string("cfg"));
        QCOMPARE(save.InitialFolder, std::string("cfg"));
        QCOMPARE(save.FileName, std::string("nimbra"));
        QVERIFY(!save.AskBeforeReplacing);
        const FileRequest& open = program.Dialogs.FileRequests[1];
        QVERIFY(open.DialogKind == FileRequest::Kind::Open);
        QCOMPARE(open.Title, std::string("Konfiguration laden"));
        QCOMPARE(open.Filter, std::string("Konfigurationsdateien|*.cfg"));
        QCOMPARE(open.InitialFolder, std::string("cfg"));
        QCOMPARE(open.FileName, std::string());
        QVERIFY(program.Dialogs.Messages.empty());
        QVERIFY(std::filesystem::is_empty("cfg"));
    }

    void ASavedSetupComesBackIntoEveryControl()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        program.Dialogs.YesNoAnswers = {false};
        Find<QAction>(form, "Julia1")->trigger();
        QTest::mouseClick(Find<QRadioButton>(form, "SetCMY"), Qt::LeftButton);
        QTest::mouseClick(Find<QCheckBox>(form, "SetInvers"), Qt::LeftButton);
        QVERIFY(TypeInto(Find<QLineEdit>(form, "WidthEdit"), "800"));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "HeightEdit"), "600"));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "IterationEdit"), "500"));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "RealFEdit"), "-0,75"));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "RealTEdit"), "0,25"));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "ImagFEdit"), "-0,5"));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "ImagTEdit"), "0,5"));
        QVERIFY(TypeInto(Find<QComboBox>(form, "r0"), "0,285"));
        QVERIFY(TypeInto(Find<QComboBox>(form, "i0"), "0,01"));
        const std::string path = folder_->Path() + "cfg/julia.cfg";
        QVERIFY(SaveAs(program, path));
        const QStringList saved = ControlStates(form);  // as the save read them
        QCOMPARE(ReadBytes(path).size(), std::size_t{77});
        QCOMPARE(form.windowTitle(), QStringLiteral("Nimbra"));  // saving names no file

        QVERIFY(PressKey(form, Qt::Key_F8));
        QTest::mouseClick(Find<QRadioButton>(form, "SetRGB"), Qt::LeftButton);
        QTest::mouseClick(Find<QCheckBox>(form, "SetInvers"), Qt::LeftButton);
        Find<QCheckBox>(form, "SetTestMode")->setChecked(true);
        Find<QComboBox>(form, "r0")->setEditText(QStringLiteral("7"));
        QVERIFY(ControlStates(form) != saved);

        QVERIFY(Load(program, path));
        QCOMPARE(ControlStates(form), saved);
        QCOMPARE(form.windowTitle(), QStringLiteral("Nimbra - julia.cfg"));
        QCOMPARE(program.State.ConfigFileName, path);
        QCOMPARE(QApplication::focusWidget(), Find<QLineEdit>(form, "WidthEdit"));
        form.Timer1Timer();
        QCOMPARE(Find<QStatusBar>(form, "StBar")->currentMessage(),
                 QStringLiteral("X-Auflösung des Bildes eingeben..."));
        QVERIFY(program.Dialogs.Messages.empty());

        // The save dialog now proposes the loaded file; a reset forgets it.
        program.Dialogs.FileAnswers = {std::nullopt};
        QVERIFY(PressKey(form, Qt::Key_F3));
        QCOMPARE(program.Dialogs.FileRequests.back().FileName, path);
        QVERIFY(PressKey(form, Qt::Key_F8));
        QCOMPARE(form.windowTitle(), QStringLiteral("Nimbra"));
        QVERIFY(program.State.ConfigFileName.empty());
    }

    void APreviewSetupKeepsItsPreviewThroughTheFocusOnTheWidth()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        const std::string path = folder_->Path() + "cfg/preview.cfg";
        QVERIFY(SaveAs(program, path));
        QCOMPARE(ReadBytes(path)[7], std::uint8_t{128});
        QVERIFY(TypeInto(Find<QLineEdit>(form, "WidthEdit"), "99"));
        QVERIFY(!Find<QCheckBox>(form, "SetTestMode")->isChecked());
        QVERIFY(Load(program, path));
        QVERIFY(Find<QCheckBox>(form, "SetTestMode")->isChecked());
        QCOMPARE(Find<QLineEdit>(form, "WidthEdit")->text(), QStringLiteral("255"));  // the preview's size was saved
    }

    void APaletteModelFileBringsItsGradientBack()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        ChoosePaletteModelForAFile(form);
        QVERIFY(TypeInto(Find<QLineEdit>(form, "IterationEdit"), "300"));
        program.Palette.SetPaletteNode(255, 0, 0, 50);
        const std::vector<PaletteNode> edited = program.Palette.Nodes();
        const std::string path = folder_->Path() + "cfg/grad.cfg";
        QVERIFY(SaveAs(program, path));
        const QString savedIterations = Find<QLineEdit>(form, "IterationEdit")->text();
        QCOMPARE(ReadBytes(path).size(), std::size_t{7 + 70 + 4 * edited.size()});
        QCOMPARE(program.Palette.Nodes(), edited);

        program.Palette.ResetPalette();
        QTest::mouseClick(Find<QRadioButton>(form, "SetRGB"), Qt::LeftButton);
        QVERIFY(Load(program, path));
        QCOMPARE(program.Palette.Nodes(), edited);
        QVERIFY(Find<QRadioButton>(form, "SetGrad")->isChecked());
        QCOMPARE(Find<QLineEdit>(form, "IterationEdit")->text(), savedIterations);  // not SetGradClick's 256
        QVERIFY(PictureShowsGradient(form, program.Palette));
        QVERIFY(program.Dialogs.Messages.empty());
    }

    void APaletteModelFileWithPreviewLeavesTheGradient()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QTest::mouseClick(Find<QRadioButton>(form, "SetGrad"), Qt::LeftButton);
        const std::string path = folder_->Path() + "cfg/grad_preview.cfg";
        QVERIFY(SaveAs(program, path));
        QCOMPARE(ReadBytes(path).size(), std::size_t{77});
        QCOMPARE(ReadBytes(path)[7], std::uint8_t{130});

        program.Palette.SetPaletteNode(0, 0, 255, 60);
        const std::vector<PaletteNode> edited = program.Palette.Nodes();
        QTest::mouseClick(Find<QRadioButton>(form, "SetRGB"), Qt::LeftButton);
        QVERIFY(Load(program, path));
        QCOMPARE(program.Palette.Nodes(), edited);
        QVERIFY(Find<QRadioButton>(form, "SetGrad")->isChecked());
        QVERIFY(Find<QCheckBox>(form, "SetTestMode")->isChecked());
        QVERIFY(PictureShowsGradient(form, program.Palette));  // painted by SetGradClick
    }

    void ARefusedFieldWritesNoFile()
    {
        UiProgram program;
        QVERIFY(TypeInto(Find<QLineEdit>(*program.Form, "IterationEdit"), "12a"));
        const std::string path = folder_->Path() + "cfg/refused.cfg";
        QVERIFY(SaveAs(program, path));
        QCOMPARE(program.Dialogs.Messages, Texts({"'12a' ist kein gültiger Integerwert"}));
        QVERIFY(!FileExists(path));

        // A height the record cannot hold is refused before the file is touched.
        QVERIFY(TypeInto(Find<QLineEdit>(*program.Form, "IterationEdit"), "100"));
        QVERIFY(TypeInto(Find<QLineEdit>(*program.Form, "HeightEdit"), "70000"));
        QVERIFY(SaveAs(program, path));
        QCOMPARE(program.Dialogs.Messages.back(), std::string("Fehler bei Bereichsprüfung"));
        QVERIFY(!FileExists(path));
    }

    void AFileThatCannotBeCreatedShowsEveryStepsMessage()
    {
        UiProgram program;
        ChoosePaletteModelForAFile(*program.Form);
        const std::vector<PaletteNode> before = program.Palette.Nodes();
        const std::string path = folder_->Path() + "no folder/x.cfg";
        QVERIFY(SaveAs(program, path));
        QCOMPARE(program.Dialogs.Messages,
                 Texts({"Kann Konfiguration " + path + " nicht öffnen !\nDatei oder Ordner nicht vorhanden",
                        "Kann Konfiguration " + path + " nicht speichern !",
                        "Kann Konfiguration " + path + " nicht speichern !",
                        "Fehler beim Schreiben der Palette in " + path + " !",
                        "Kann Datei " + path + " nicht schließen !"}));
        QCOMPARE(program.Palette.Nodes(), before);
    }

    void AFileThatCannotBeOpenedChangesNothing()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        const QStringList before = ControlStates(form);
        const std::string path = folder_->Path() + "cfg/missing.cfg";
        QVERIFY(Load(program, path));
        QCOMPARE(program.Dialogs.Messages,
                 Texts({"Fehler beim Lesen der Palette in " + path + " !\nDatei oder Ordner nicht vorhanden"}));
        QCOMPARE(ControlStates(form), before);
        QCOMPARE(form.windowTitle(), QStringLiteral("Nimbra"));
        QVERIFY(program.State.ConfigFileName.empty());
    }

    void AnUnknownFormulaOrModelSelectsNothing()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        const std::string path = folder_->Path() + "cfg/unknown.cfg";
        QVERIFY(SaveAs(program, path));
        std::vector<std::uint8_t> bytes = ReadBytes(path);
        bytes[7] = 3;  // colour model 3
        bytes[8] = 9;  // formula 9
        WriteBytes(path, bytes);
        QVERIFY(Load(program, path));
        QCOMPARE(program.State.Params.Formula, std::uint8_t{9});
        QCOMPARE(Find<QLabel>(form, "FormelName")->text(), QStringLiteral("Mandelbrot Menge"));
        QVERIFY(Find<QAction>(form, "Mandelbrot1")->isChecked());
        for (const char* model : {"SetRGB", "SetCMY", "SetGrad"})
            QVERIFY2(!Find<QRadioButton>(form, model)->isChecked(), model);
        QVERIFY(!Find<QCheckBox>(form, "SetTestMode")->isChecked());
        // Saved again, the file comes back byte for byte, its model and formula included.
        const std::string again = folder_->Path() + "cfg/again.cfg";
        QVERIFY(SaveAs(program, again));
        QVERIFY(ReadBytes(again) == bytes);
        // The buttons still exclude each other afterwards.
        QTest::mouseClick(Find<QRadioButton>(form, "SetCMY"), Qt::LeftButton);
        QTest::mouseClick(Find<QRadioButton>(form, "SetRGB"), Qt::LeftButton);
        QVERIFY(Find<QRadioButton>(form, "SetRGB")->isChecked() && !Find<QRadioButton>(form, "SetCMY")->isChecked());
    }

    void ASaveDuringAFileRunLeavesTheRunsImageAlone()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(TypeInto(Find<QLineEdit>(form, "WidthEdit"), "64"));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "HeightEdit"), "48"));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "IterationEdit"), "200"));
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        const std::vector<std::uint8_t> undisturbed = ReadBytes("pix/nimbra000.tga");

        const std::string path = folder_->Path() + "cfg/during.cfg";
        bool savedDuringRun = false;
        DuringTheRun(program, [&] {
            Find<QCheckBox>(form, "SetTestMode")->setChecked(true);  // the setup saved has the preview's size
            savedDuringRun = SaveAs(program, path);
        });
        QTest::mouseClick(Find<QPushButton>(form, "MakeButton"), Qt::LeftButton);
        QVERIFY(savedDuringRun);
        QCOMPARE(ReadBytes("pix/nimbra001.tga"), undisturbed);
        const std::vector<std::uint8_t> saved = ReadBytes(path);
        QCOMPARE(saved.size(), std::size_t{77});
        QCOMPARE(saved[7], std::uint8_t{128});
        QCOMPARE(saved[9] | saved[10] << 8, 255);
        QVERIFY(program.Dialogs.Messages.empty());
    }

private:
    std::unique_ptr<TempFolder> folder_;
    std::unique_ptr<CurrentDirectory> inside_;
};

QTEST_MAIN(ConfigCommandsTest)
#include "config_commands_test.moc"
