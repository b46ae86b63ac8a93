#include "dialogs/ui/help_window.h"

#include "dialogs/help_text.h"

#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>

using namespace nimbra;

class THelpTest : public QObject {
    Q_OBJECT
private slots:
    void EveryHelpContextHasItsTopic()
    {
        const QString html = QString::fromUtf8(HelpHtml());
        for (const int context : {101, 102, 103, 104, 105, 106, 107, 108, 200}) {
            const QString anchor = HelpTopicAnchor(context);
            QVERIFY2(html.contains(QStringLiteral("name=\"%1\"").arg(anchor)), qPrintable(anchor));
        }
        QVERIFY(HelpTopicAnchor(109).isEmpty());
    }

    void TopicScrollsToItsPlaceAndUnknownShowsTheContents()
    {
        THelp help;
        help.ShowTopic(200);
        QVERIFY(help.isVisible());
        QVERIFY(help.HelpText->verticalScrollBar()->value() > 0);
        help.ShowTopic(999);
        QCOMPARE(help.HelpText->verticalScrollBar()->value(), 0);
    }
};

QTEST_MAIN(THelpTest)
#include "help_window_test.moc"
