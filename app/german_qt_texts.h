#pragma once

class QCoreApplication;
class QTranslator;

namespace nimbra {

// Qt's own texts in German whatever the user's locale, as the program's interface is German:
// the buttons of the message boxes ("Ja", "Nein"), the file and colour dialogs, the edit menus
// of the fields and the names of the shortcut keys. The translator belongs to the application;
// nothing when Qt's German translations are not installed (the texts then stay English, and
// stderr says why).
QTranslator* InstallGermanQtTexts(QCoreApplication& application);

}  // namespace nimbra
