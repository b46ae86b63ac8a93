#include "mainwindow/ui/calc_form.h"
#include "mainwindow/ui/mode_picture.h"
#include "mainwindow/ui/preview_window.h"
#include "mainwindow/ui/screen_dpi.h"
#include "mainwindow/window_scale.h"
#include "tests/ui/ui_program.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

using namespace nimbra;
using namespace nimbra::testing;

namespace {

using Texts = std::vector<std::string>;

QStringList ComboItems(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

// The captions of a menu in order, "-" for a separator, with the shortcut after a tab.
QStringList MenuEntries(const QMenu* menu)
{
    QStringList entries;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator())
            entries << QStringLiteral("-");
        else if (action->shortcut().isEmpty())
            entries << action->text();
        else
            entries << action->text() + QLatin1Char('\t') + action->shortcut().toString();
    }
    return entries;
}

QColor PictureColumn(const TCalcForm& form, int x)
{
    return Find<ModePicture>(form, "ModePic")->Picture().pixelColor(x, 0);
}

}  // namespace

class CalcFormTest : public QObject {
    Q_OBJECT

private slots:
    void init() { folder_ = std::make_unique<TempFolder>(); inside_ = std::make_unique<CurrentDirectory>(folder_->Path()); }
    void cleanup() { inside_.reset(); folder_.reset(); }

    void StartsAsTheGermanMainWindow()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Nimbra"));
        QCOMPARE(Find<QLineEdit>(form, "WidthEdit")->text(), QStringLiteral("640"));
        QCOMPARE(Find<QLineEdit>(form, "HeightEdit")->text(), QStringLiteral("480"));
        QCOMPARE(RegionFieldTexts(form), QStringList({"-2", "0,5", "-1,25", "1,25"}));
        QCOMPARE(Find<QLineEdit>(form, "IterationEdit")->text(), QStringLiteral("2048"));
        QVERIFY(Find<QRadioButton>(form, "SetRGB")->isChecked());
        QVERIFY(Find<QCheckBox>(form, "SetTestMode")->isChecked());
        QVERIFY(!Find<QCheckBox>(form, "SetInvers")->isChecked());
        QCOMPARE(Find<QLabel>(form, "FormelName")->text(), QStringLiteral("Mandelbrot Menge"));
        QVERIFY(Find<QAction>(form, "Mandelbrot1")->isChecked());
        QVERIFY(Find<QLabel>(form, "c0")->isHidden());
        QVERIFY(Find<QComboBox>(form, "r0")->isHidden() && Find<QComboBox>(form, "i0")->isHidden());
        QCOMPARE(Find<QPushButton>(form, "MakeButton")->text(), QStringLiteral("&Berechnen"));
        QVERIFY(!Find<QPushButton>(form, "ShowBtn")->isEnabled());
        QCOMPARE(Find<QStatusBar>(form, "StBar")->currentMessage(), QStringLiteral("Bereit ..."));
        QVERIFY(program.State.StatusCode == Status::Ready);
        QCOMPARE(program.State.StartFolder, std::filesystem::canonical(folder_->Path()).string() + "/");
        for (const char* name : {"cfg", "pix", "param", "pal"}) QVERIFY(std::filesystem::is_directory(name));
        QVERIFY(program.Dialogs.Messages.empty());
        QVERIFY(Find<QComboBox>(form, "r0")->count() == 0 && Find<QComboBox>(form, "r0")->currentText().isEmpty());
        QVERIFY(program.PreView->isHidden());
    }

    void TheClientAreaHasItsFixedSize()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QCOMPARE(form.width(), 640);
        QCOMPARE(form.height() - form.menuBar()->height(), 220);
        QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
        form.resize(900, 500);
        QCOMPARE(form.width(), 640);
        QCOMPARE(form.height() - form.menuBar()->height(), 220);
        // Every caption fits its control.
        for (const char* name : {"SetRGB", "SetCMY", "SetGrad", "SetInvers", "MakeButton", "ShowBtn"}) {
            const QWidget* control = Find<QAbstractButton>(form, name);
            QVERIFY2(control->width() >= control->sizeHint().width(), name);
        }
    }

    void TheJuliaConstantsAreAsWideAsDesignedAndShowTheirStart()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        auto* r0 = Find<QComboBox>(form, "r0");
        QCOMPARE(r0->width(), ScaledLength(81, ScreenDpiFactor()));
        QCOMPARE(Find<QComboBox>(form, "i0")->width(), ScaledLength(73, ScreenDpiFactor()));
        program.Dialogs.YesNoAnswers = {false};
        QVERIFY(PressKey(form, Qt::Key_3, Qt::ControlModifier));  // Julia shows them
        QVERIFY(TypeInto(r0->lineEdit(), "0,18888712345678"));
        TabAway(r0->lineEdit());
        QCOMPARE(r0->lineEdit()->cursorPosition(), 0);
    }

    void AConstantFromTheHistoryShowsItsStartAndTheListItsWholeWidth()
    {
        const std::string longest = "-0,72691234567891234";
        std::filesystem::create_directories("param");
        const std::string history = longest + "-!!-0,1889\r\n0,285-!!-0,01\r\n";
        WriteBytes("param/nimbra.par", {history.begin(), history.end()});
        UiProgram program;
        TCalcForm& form = *program.Form;
        auto* r0 = Find<QComboBox>(form, "r0");
        for (const bool afterReset : {false, true}) {
            if (afterReset) QVERIFY(PressKey(form, Qt::Key_F8));
            program.Dialogs.YesNoAnswers = {true};
            QVERIFY(PressKey(form, Qt::Key_3, Qt::ControlModifier));
            QCOMPARE(r0->currentText(), QString::fromStdString(longest));
            QCOMPARE(r0->lineEdit()->cursorPosition(), 0);
        }
        r0->showPopup();
        QVERIFY(r0->view()->width() > r0->view()->fontMetrics().horizontalAdvance(QString::fromStdString(longest)));
        r0->hidePopup();
    }

    void ScreenReadersHearLabelsAndHints()
    {
        UiProgram program;
        const auto name = [&](const char* control) {
            QWidget* widget = Find<QWidget>(*program.Form, control);
            return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
        };
        QCOMPARE(name("ZOO"), QStringLiteral("Zoomt 10% aus der Vorschau heraus"));
        QCOMPARE(name("SCL"), QStringLiteral("Scrollt Vorschau um 10% des Anzeigebereiches nach links"));
        QCOMPARE(name("RealFEdit"), QStringLiteral("real von"));
        QCOMPARE(name("ImagTEdit"), QStringLiteral("imaginär bis"));
        // The constant boxes by their names, not by the constants they hold.
        program.Dialogs.YesNoAnswers = {false};
        Find<QAction>(*program.Form, "Julia1")->trigger();
        for (const auto& [box, expected] : {std::pair{"r0", "Konstante real"}, std::pair{"i0", "Konstante imaginär"}}) {
            QVERIFY(TypeInto(Find<QComboBox>(*program.Form, box), "0,285"));
            QAccessibleInterface* read = QAccessible::queryAccessibleInterface(Find<QComboBox>(*program.Form, box));
            QCOMPARE(read->text(QAccessible::Name), QString::fromUtf8(expected));
            QCOMPARE(read->text(QAccessible::Value), QStringLiteral("0,285"));
        }
    }

    void TheMenuHoldsEveryCommand()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        const QList<QAction*> menus = form.menuBar()->actions();
        QCOMPARE(menus.size(), 3);
        QCOMPARE(menus[0]->text(), QStringLiteral("&Fraktale"));
        QCOMPARE(menus[1]->text(), QStringLiteral("Far&ben"));
        QCOMPARE(menus[2]->text(), QStringLiteral("&Hilfe"));
        QCOMPARE(MenuEntries(menus[0]->menu()),
                 QStringList({"Konfiguration &laden\tF2", "Konfiguration &speichern\tF3", "&Formeln",
                              "&Bildauflösung ermitteln\tF4", "-", "Ansicht &zurück\tAlt+Left", "Ansicht &vor\tAlt+Right",
                              "-", "&Extras", "-", "&Rücksetzen\tF8", "-", "&Programm beenden\tAlt+F4"}));
        QCOMPARE(MenuEntries(Find<QMenu>(form, "Formeln1")),
                 QStringList({"&Mandelbrot\tCtrl+1", "&Mandelbrot Invertiert\tCtrl+2", "&Julia\tCtrl+3",
                              "&Dragon\tCtrl+4", "&Dais&y\tCtrl+5", "&Burning Ship\tCtrl+6"}));
        QCOMPARE(Find<QMenu>(form, "Formeln1")->defaultAction(), Find<QAction>(form, "Mandelbrot1"));
        QCOMPARE(MenuEntries(Find<QMenu>(form, "Extras1")), QStringList({"Pro&gramm anpassen\tF5"}));
        QCOMPARE(MenuEntries(menus[1]->menu()), QStringList({"Farbpalette &generieren\tF9", "Farbraum&konvertierung"}));
        QCOMPARE(MenuEntries(Find<QMenu>(form, "Farbraumkkonvertierung1")),
                 QStringList({"&RGB --> CMY\tAlt+1", "R&GB --> GRAD\tAlt+2", "&CMY --> RGB\tAlt+3",
                              "C&MY --> GRAD\tAlt+4", "GRAD --> RGB\tAlt+5", "GRAD --> CMY\tAlt+6"}));
        QCOMPARE(MenuEntries(menus[2]->menu()),
                 QStringList({"&Index\tF1", "-", "&Anleitung Online\tCtrl+O", "nach &Updates suchen\tCtrl+U", "-",
                              "ü&ber Nimbra ...\tCtrl+I"}));
        // Every command can be used, but there is no region to go back or forth to yet.
        const QList<QAction*> history = {Find<QAction>(form, "ViewBack"), Find<QAction>(form, "ViewForward")};
        for (const QMenu* menu : form.menuBar()->findChildren<QMenu*>())
            for (const QAction* action : menu->actions())
                QVERIFY2(action->isSeparator() || action->isEnabled() != history.contains(action),
                         qPrintable(action->text()));
    }

    void EnteringAFieldSetsTheStatusLine()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(TypeInto(Find<QLineEdit>(form, "RealFEdit"), "-1"));
        form.Timer1Timer();
        QCOMPARE(Find<QStatusBar>(form, "StBar")->currentMessage(), QStringLiteral("Startkoordinate  - real..."));
        QVERIFY(Find<QCheckBox>(form, "SetTestMode")->isChecked());
        QVERIFY(TypeInto(Find<QLineEdit>(form, "IterationEdit"), "300"));
        form.Timer1Timer();
        QCOMPARE(Find<QStatusBar>(form, "StBar")->currentMessage(), QStringLiteral("Farbtiefe des Bildes..."));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "WidthEdit"), "800"));
        form.Timer1Timer();
        QCOMPARE(Find<QStatusBar>(form, "StBar")->currentMessage(),
                 QStringLiteral("X-Auflösung des Bildes eingeben..."));
        QVERIFY(!Find<QCheckBox>(form, "SetTestMode")->isChecked());
        QTest::mouseClick(Find<QCheckBox>(form, "SetTestMode"), Qt::LeftButton);
        QVERIFY(Find<QCheckBox>(form, "SetTestMode")->isChecked());
        QVERIFY(TypeInto(Find<QLineEdit>(form, "HeightEdit"), "600"));
        QVERIFY(!Find<QCheckBox>(form, "SetTestMode")->isChecked());
        TabAway(Find<QLineEdit>(form, "HeightEdit"));
        form.Timer1Timer();
        QCOMPARE(Find<QStatusBar>(form, "StBar")->currentMessage(), QStringLiteral("Bereit ..."));
    }

    void TheTimerShowsTheClockWhileIdle()
    {
        UiProgram program;
        program.Now = (14 * 3600 + 3 * 60 + 7) / 86400.0;
        program.Form->Timer1Timer();
        QCOMPARE(Find<QLabel>(*program.Form, "NormTime")->text(), QStringLiteral("14:03:07"));
        QCOMPARE(Find<QLabel>(*program.Form, "CalcTime")->text(), QString());
    }

    void LeavingAConstantFieldKeepsItInTheHistory()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        program.Dialogs.YesNoAnswers = {false};
        Find<QAction>(form, "Julia1")->trigger();
        QVERIFY(TypeInto(Find<QComboBox>(form, "r0"), "0.285"));
        form.Timer1Timer();
        QCOMPARE(Find<QStatusBar>(form, "StBar")->currentMessage(),
                 QStringLiteral("Realteil Startwert für Julia Menge..."));
        TabAway(Find<QComboBox>(form, "r0"));
        QCOMPARE(ComboItems(Find<QComboBox>(form, "r0")), QStringList({"0,285"}));
        QCOMPARE(Find<QComboBox>(form, "r0")->currentText(), QStringLiteral("0.285"));
        QVERIFY(TypeInto(Find<QComboBox>(form, "r0"), "0,285"));
        TabAway(Find<QComboBox>(form, "r0"));
        QCOMPARE(ComboItems(Find<QComboBox>(form, "r0")), QStringList({"0,285"}));
        QVERIFY(TypeInto(Find<QComboBox>(form, "i0"), ""));
        TabAway(Find<QComboBox>(form, "i0"));
        QCOMPARE(Find<QComboBox>(form, "i0")->count(), 0);
        QVERIFY(program.State.StatusCode == Status::Ready);
    }

    void TheColourModelButtonsSetDepthAndPicture()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QCOMPARE(PictureColumn(form, 0), QColor(255, 0, 0));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "IterationEdit"), "500"));
        QTest::mouseClick(Find<QRadioButton>(form, "SetCMY"), Qt::LeftButton);
        QCOMPARE(Find<QLineEdit>(form, "IterationEdit")->text(), QStringLiteral("4096"));
        QCOMPARE(PictureColumn(form, 0), QColor(0, 255, 255));
        QTest::mouseClick(Find<QRadioButton>(form, "SetGrad"), Qt::LeftButton);
        QCOMPARE(Find<QLineEdit>(form, "IterationEdit")->text(), QStringLiteral("256"));
        QCOMPARE(PictureColumn(form, 0), QColor(0, 0, 0));  // the default gradient starts black
        QCOMPARE(PictureColumn(form, 179), QColor(253, 253, 253));
        QTest::mouseClick(Find<QRadioButton>(form, "SetRGB"), Qt::LeftButton);
        QCOMPARE(PictureColumn(form, 179), QColor(255, 0, 255));
        QVERIFY(TypeInto(Find<QLineEdit>(form, "IterationEdit"), "500"));
        QTest::mouseClick(Find<QRadioButton>(form, "SetRGB"), Qt::LeftButton);
        QCOMPARE(Find<QLineEdit>(form, "IterationEdit")->text(), QStringLiteral("500"));
        Find<QRadioButton>(form, "SetGrad")->setChecked(true);  // as a loaded configuration does
        QCOMPARE(Find<QLineEdit>(form, "IterationEdit")->text(), QStringLiteral("256"));
    }

    void AFormulaAnsweredNoChangesOnlyTheFormula()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(TypeInto(Find<QLineEdit>(form, "RealFEdit"), "-1,5"));
        program.Dialogs.YesNoAnswers = {false};
        QVERIFY(PressKey(form, Qt::Key_3, Qt::ControlModifier));
        QCOMPARE(program.Dialogs.Questions,
                 Texts({"Sollen die Eingabefelder auf ihre Standardwerte zurückgesetzt werden ?"}));
        QCOMPARE(program.Dialogs.QuestionCaptions, Texts({"Rücksetzen"}));
        QCOMPARE(RegionFieldTexts(form), QStringList({"-1,5", "0,5", "-1,25", "1,25"}));
        QCOMPARE(Find<QLabel>(form, "FormelName")->text(), QStringLiteral("Julia Menge"));
        QVERIFY(Find<QAction>(form, "Julia1")->isChecked() && !Find<QAction>(form, "Mandelbrot1")->isChecked());
        QVERIFY(Find<QLabel>(form, "c0")->isVisible());
        QVERIFY(Find<QComboBox>(form, "r0")->isVisible() && Find<QComboBox>(form, "i0")->isVisible());
        QCOMPARE(program.State.Params.Formula, std::uint8_t{2});
    }

    void AFormulaAnsweredYesEntersItsDefaults()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        QVERIFY(TypeInto(Find<QLineEdit>(form, "IterationEdit"), "500"));
        program.Dialogs.YesNoAnswers = {true};
        Find<QAction>(form, "Julia1")->trigger();
        QCOMPARE(RegionFieldTexts(form), QStringList({"-2", "2", "-1.3", "1.2"}));
        QCOMPARE(Find<QLineEdit>(form, "IterationEdit")->text(), QStringLiteral("500"));

        program.Dialogs.YesNoAnswers = {true};
        Find<QAction>(form, "BurnShip1")->trigger();
        QCOMPARE(RegionFieldTexts(form), QStringList({"3.0", "-2", "2,5", "-2"}));
        QCOMPARE(Find<QLineEdit>(form, "IterationEdit")->text(), QStringLiteral("250"));
        QVERIFY(Find<QComboBox>(form, "r0")->isHidden());

        QVERIFY(TypeInto(Find<QLineEdit>(form, "WidthEdit"), "800"));
        program.Dialogs.YesNoAnswers = {true};
        Find<QAction>(form, "Dragon1")->trigger();
        QCOMPARE(Find<QLineEdit>(form, "WidthEdit")->text(), QStringLiteral("640"));
        QCOMPARE(Find<QLineEdit>(form, "IterationEdit")->text(), QStringLiteral("2048"));
        QCOMPARE(RegionFieldTexts(form), QStringList({"-2", "0,5", "-1,25", "1,25"}));
        QCOMPARE(Find<QLabel>(form, "FormelName")->text(), QStringLiteral("Dragon"));
        QVERIFY(Find<QAction>(form, "Dragon1")->isChecked());
        QCOMPARE(program.State.Params.Formula, std::uint8_t{3});
        QVERIFY(program.Dialogs.Unexpected.empty());
    }

    void TheResetAsksNothingAndReturnsToMandelbrot()
    {
        UiProgram program;
        TCalcForm& form = *program.Form;
        program.Dialogs.YesNoAnswers = {false};
        Find<QAction>(form, "Julia1")->trigger();
        QVERIFY(TypeInto(Find<QLineEdit>(form, "HeightEdit"), "100"));
        QVERIFY(PressKey(form, Qt::Key_F8));
        QCOMPARE(Find<QLineEdit>(form, "HeightEdit")->text(), QStringLiteral("480"));
        QCOMPARE(Find<QLabel>(form, "FormelName")->text(), QStringLiteral("Mandelbrot Menge"));
        QVERIFY(Find<QAction>(form, "Mandelbrot1")->isChecked());
        QVERIFY(Find<QComboBox>(form, "r0")->isHidden());
        QCOMPARE(program.Dialogs.Questions.size(), std::size_t{1});
    }

    void TheParamFilesAreWrittenAtCloseAndReadAtTheNextStart()
    {
        {
            UiProgram program;
            TCalcForm& form = *program.Form;
            program.Dialogs.YesNoAnswers = {false};
            Find<QAction>(form, "Julia1")->trigger();
            QVERIFY(TypeInto(Find<QComboBox>(form, "r0"), "0.285"));
            QVERIFY(TypeInto(Find<QComboBox>(form, "i0"), "0.01"));
            QVERIFY(TypeInto(Find<QLineEdit>(form, "WidthEdit"), "640"));
            QVERIFY(TypeInto(Find<QComboBox>(form, "r0"), "-0,8"));
            TabAway(Find<QComboBox>(form, "r0"));
            QVERIFY(form.close());
        }
        QCOMPARE(ReadBytes("param/nimbra.par"),
                 std::vector<std::uint8_t>({'0', ',', '2', '8', '5', '-', '!', '!', '-', '0', ',', '0', '1', '\r', '\n',
                                            '-', '0', ',', '8', '-', '!', '!', '-', '\r', '\n'}));
        QCOMPARE(ReadBytes("param/nimbra.prf"),
                 std::vector<std::uint8_t>({'V', 'I', 'E', 'W', 'E', 'R', '*', '=', '*', '\r', '\n'}));

        UiProgram next;
        QCOMPARE(ComboItems(Find<QComboBox>(*next.Form, "r0")), QStringList({"0,285", "-0,8"}));
        QCOMPARE(Find<QComboBox>(*next.Form, "r0")->currentText(), QStringLiteral("0,285"));
        QCOMPARE(ComboItems(Find<QComboBox>(*next.Form, "i0")), QStringList({"0,01"}));
        QCOMPARE(Find<QComboBox>(*next.Form, "i0")->currentText(), QStringLiteral("0,01"));
        QVERIFY(Find<QComboBox>(*next.Form, "r0")->isHidden());
    }

    void TheHistoriesAreLatin1BothWays()
    {
        std::filesystem::create_directories("param");
        const std::vector<std::uint8_t> bytes = {'0', ',', '3', 0xE4, 'x', '-', '!', '!', '-', 0xFF, '\r', '\n',
                                                 0xC3, 0xA4, '-', '!', '!', '-', '\r', '\n'};
        WriteBytes("param/nimbra.par", bytes);
        {
            UiProgram program;
            TCalcForm& form = *program.Form;
            program.Dialogs.YesNoAnswers = {false};
            Find<QAction>(form, "Julia1")->trigger();
            QCOMPARE(Find<QComboBox>(form, "r0")->currentText(), QStringLiteral("0,3äx"));
            QCOMPARE(ComboItems(Find<QComboBox>(form, "i0")), QStringList({"ÿ"}));
            QVERIFY(TypeInto(Find<QComboBox>(form, "r0"), "0.5°"));
            TabAway(Find<QComboBox>(form, "r0"));
            QVERIFY(form.close());
        }
        std::vector<std::uint8_t> written = bytes;
        written.insert(written.end(), {'0', ',', '5', 0xB0, '-', '!', '!', '-', '\r', '\n'});
        QCOMPARE(ReadBytes("param/nimbra.par"), written);
    }

    void UnreadableParamFilesAreReportedAtStart()
    {
        std::filesystem::create_directories("param");
        QCOMPARE(::mkfifo("param/nimbra.par", 0600), 0);  // the window must not wait for a writer
        std::filesystem::create_directories("param/nimbra.prf");
        UiProgram program;
        const std::string folder = program.State.StartFolder;
        QCOMPARE(program.Dialogs.Messages,
                 Texts({"Fehler beim Einlesen der Parameterdatei " + folder + "param/nimbra.par !\n"
                            "keine gewöhnliche Datei, sondern eine Pipe, ein Gerät oder ein Socket",
                        "Fehler beim Einlesen der Programmkonfiguration " + folder +
                            "param/nimbra.prf !\nist ein Ordner"}));
    }

    void UnwritableParamFilesAreReportedAndTheWindowCloses()
    {
        UiProgram program;
        std::filesystem::remove_all("param");
        QSignalSpy closed(program.Form.get(), &TCalcForm::Closed);
        QVERIFY(program.Form->close());
        const std::string folder = program.State.StartFolder;
        QCOMPARE(program.Dialogs.Messages,
                 Texts({"Fehler beim Schreiben der Parameterdatei " + folder +
                            "param/nimbra.par !\nDatei oder Ordner nicht vorhanden",
                        "Fehler beim Schreiben der Programmkonfiguration " + folder +
                            "param/nimbra.prf !\nDatei oder Ordner nicht vorhanden"}));
        QCOMPARE(closed.count(), 1);
        QVERIFY(program.Palette.Empty());
    }

private:
    std::unique_ptr<TempFolder> folder_;
    std::unique_ptr<CurrentDirectory> inside_;
};

QTEST_MAIN(CalcFormTest)
#include "calc_form_test.moc"
