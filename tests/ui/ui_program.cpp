#include "tests/ui/ui_program.h"

#include <QLineEdit>
#include <QTest>
#include <QTimer>

namespace nimbra::testing {

CurrentDirectory::CurrentDirectory(const std::string& folder) : old_(std::filesystem::current_path())
{
    std::filesystem::current_path(folder);
}

CurrentDirectory::~CurrentDirectory() { std::filesystem::current_path(old_); }

UiProgram::UiProgram()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Form = std::make_unique<TCalcForm>(Palette, Dialogs, System, Pump, [this] { return Now; });
    Windows = std::make_unique<ProgramWindows>(*Form, Palette, Dialogs, System, Pump);
    PreView = &Windows->PreView;
    Form->show();
    Form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Form.get()));
}

UiProgram::~UiProgram()
{
    Windows.reset();
    Form.reset();
    QLocale::setDefault(oldLocale_);
}

void TypeInto(QWidget* field, const QString& text)
{
    // Focus follows a click only in the active window; a preview run may have taken it.
    field->window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(field->window()));
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

void PressKey(TCalcForm& form, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    // A modal window that has just closed hands the activation back only through the event loop.
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, key, modifiers);
}

void TabAway(QWidget* field) { QTest::keyClick(field, Qt::Key_Tab); }

void DuringTheRun(TCalcForm& form, std::function<void()> action)
{
    QTimer::singleShot(0, &form, [&form, action = std::move(action)]() mutable {
        if (form.Run.Running)
            action();
        else
            DuringTheRun(form, std::move(action));
    });
}

QStringList RegionTexts(const TCalcForm& form)
{
    return {form.RealFEdit->text(), form.RealTEdit->text(), form.ImagFEdit->text(), form.ImagTEdit->text()};
}

}  // namespace nimbra::testing
