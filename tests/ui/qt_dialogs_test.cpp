#include "mainwindow/qt_dialogs.h"
#include "tests/ui/ui_test_registry.h"

#include <QTest>

using namespace nimbra;

class QtDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void FiltersBecomeQtFilters()
    {
        QCOMPARE(FileDialogFilter("Farbpalette|*.pal"), QStringLiteral("Farbpalette (*.pal)"));
        QCOMPARE(FileDialogFilter("Konfiguration|*.cfg|Alle Dateien|*.*"),
                 QStringLiteral("Konfiguration (*.cfg);;Alle Dateien (*.*)"));
        QCOMPARE(FileDialogFilter("Bilder|*.tga;*.TGA"), QStringLiteral("Bilder (*.tga *.TGA)"));
        QCOMPARE(FileDialogFilter(""), QString());
    }
};

NIMBRA_UI_TEST(QtDialogsTest)
#include "qt_dialogs_test.moc"
