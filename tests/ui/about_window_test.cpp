#include "dialogs/ui/about_window.h"

#include "dialogs/web_pages.h"

#include <QLabel>
#include <QTest>

using namespace nimbra;

class TCopyrightTest : public QObject {
    Q_OBJECT
private slots:
    void ShowsTitleVersionAndAddress()
    {
        TCopyright about(QStringLiteral("Nimbra 2005"), QString::fromUtf8(WebHost));
        QCOMPARE(about.TitleLabel->text(), QStringLiteral("Nimbra 2005"));
        QCOMPARE(about.VersionLabel->text(), QStringLiteral("Version " NIMBRA_PROJECT_VERSION));
        QCOMPARE(about.AddressLabel->text(), QStringLiteral("http://www.nimbra-fraktale.de"));
        QVERIFY(about.CopyrightLabel->text().contains(QStringLiteral("Copyright")));
    }

    void LogoShowsTheMandelbrotSetInBlack()
    {
        TCopyright about(QStringLiteral("Nimbra 2005"), QString());
        const QImage logo = about.CurrentLogo();
        QCOMPARE(logo.pixelColor(126, 60), QColor(Qt::black));  // the point 0
        QVERIFY(logo.pixelColor(0, 60) != QColor(Qt::black));   // -2.1, outside from the start
    }

    void LogoColoursCycle()
    {
        TCopyright about(QStringLiteral("Nimbra 2005"), QString());
        const QImage first = about.CurrentLogo();
        about.AdvanceLogo();
        QVERIFY(about.CurrentLogo() != first);
        for (int i = 1; i < 32; ++i) about.AdvanceLogo();
        QCOMPARE(about.CurrentLogo(), first);
    }
};

QTEST_MAIN(TCopyrightTest)
#include "about_window_test.moc"
