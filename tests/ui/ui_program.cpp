#include "tests/ui/ui_program.h"

#include <QApplication>
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
    Form = std::make_unique<TCalcForm>(State, Palette, Dialogs, System, Pump, [this] { return Now; });
    Windows = std::make_unique<ProgramWindows>(*Form, State, Palette, Dialogs, System, Pump);
    PreView = &Windows->PreView;
    Form->show();
    Form->activateWindow();
}

UiProgram::~UiProgram()
{
    Windows.reset();
    Form.reset();
    QLocale::setDefault(oldLocale_);
}

// The window counts as active while a dialog of its own is, even a hidden one (the test
// platform does not hand the activation back as a window manager does): only the window itself will do.
bool MakeActive(QWidget* window)
{
    window->activateWindow();
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

bool TypeInto(QWidget* field, const QString& text)
{
    // Focus follows a click only in the active window; a preview run may have taken it.
    if (!MakeActive(field->window())) return false;
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
    return true;
}

bool PressKey(TCalcForm& form, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    // A modal window that has just closed hands the activation back only through the event loop.
    if (!MakeActive(&form)) return false;
    QTest::keyClick(&form, key, modifiers);
    return true;
}

void TabAway(QWidget* field) { QTest::keyClick(field, Qt::Key_Tab); }

void DuringTheRun(UiProgram& program, std::function<void()> action)
{
    QTimer::singleShot(0, program.Form.get(), [&program, action = std::move(action)]() mutable {
        if (program.State.Run.Running)
            action();
        else
            DuringTheRun(program, std::move(action));
    });
}

QStringList RegionFieldTexts(const TCalcForm& form)
{
    return {Find<QLineEdit>(form, "RealFEdit")->text(), Find<QLineEdit>(form, "RealTEdit")->text(),
            Find<QLineEdit>(form, "ImagFEdit")->text(), Find<QLineEdit>(form, "ImagTEdit")->text()};
}

}  // namespace nimbra::testing
