#pragma once
#include <QObject>
#include <QString>

namespace nimbra::testing {

// The control of window with this object name, as the type the test uses. A missing one ends
// the test program with both names at once: every later step would act on nothing.
template <class Control>
Control* Find(const QObject& window, const char* name)
{
    auto* control = window.findChild<Control*>(QString::fromLatin1(name));
    if (control == nullptr)
        qFatal("%s has no %s named %s", window.metaObject()->className(), Control::staticMetaObject.className(), name);
    return control;
}

}  // namespace nimbra::testing
