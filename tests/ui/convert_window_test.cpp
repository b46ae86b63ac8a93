#include "convert/ui/convert_window.h"

#include "tests/support/fake_platform.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <algorithm>

using namespace nimbra;
using namespace nimbra::testing;

class TConvertTest : public QObject {
    Q_OBJECT
private slots:
    void StartsHiddenWithItsFixedTexts()
    {
        ScriptedDialogs dialogs;
        FakePlatform platform;
        NoPump pump;
        TConvert form(dialogs, platform, pump);
        QVERIFY(!form.isVisible());
        QCOMPARE(form.windowTitle(), QStringLiteral("Farbmodellkonvertierung"));
        QCOMPARE(form.Status1->text(), QStringLiteral("Lese Dateiheader"));
        QCOMPARE(form.Status2->text(), QStringLiteral("Bitte warten ..."));
        QCOMPARE(form.Button1->text(), QStringLiteral("&Abbrechen"));
        QCOMPARE(form.StatBar->minimum(), 0);
        QCOMPARE(form.StatBar->maximum(), 100);
        QVERIFY(!(form.windowFlags() & Qt::WindowCloseButtonHint));
    }

    void ConversionShowsNameAndProgressThenHides()
    {
        TempFolder folder;
        // A header of zeros and 300 bytes of 1, made at full size: growing the vector makes
        // g++ 12 at -O3 report a false -Warray-bounds inside its copy.
        std::vector<std::uint8_t> bytes(18 + 300, 1);
        std::fill_n(bytes.begin(), 18, 0);
        WriteBytes(folder / "nimbra003.tga", bytes);
        ScriptedDialogs dialogs;
        dialogs.FileAnswers.push_back(folder / "nimbra003.tga");
        FakePlatform platform;
        NoPump pump;
        TConvert form(dialogs, platform, pump);

        QCOMPARE(form.StartConversion(ConversionKind::RgbCmy), ConversionOutcome::Converted);
        QCOMPARE(form.CFileName->text(), QStringLiteral("nimbra003.tga"));
        QCOMPARE(form.Status1->text(), QString());
        QCOMPARE(form.StatBar->value(), 94);
        QVERIFY(!form.isVisible());
        QCOMPARE(dialogs.Messages, std::vector<std::string>{"Konvertierung beendet --> " + folder / "CONV_nimbra003.tga"});
    }

    void NeitherTheButtonNorClosingEndsTheWindow()
    {
        ScriptedDialogs dialogs;
        FakePlatform platform;
        NoPump pump;
        TConvert form(dialogs, platform, pump);
        form.show();
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        form.close();
        QVERIFY(form.isVisible());
        QVERIFY(dialogs.Messages.empty());
    }
};

QTEST_MAIN(TConvertTest)
#include "convert_window_test.moc"
