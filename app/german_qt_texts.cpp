#include "app/german_qt_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <iostream>

namespace nimbra {

QTranslator* InstallGermanQtTexts(QCoreApplication& application)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(&application);
    // The German locale, not the user's, picks the file: qtbase_de.qm.
    if (!translator->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                          folder) ||
        !QCoreApplication::installTranslator(translator)) {
        std::cerr << "Qt-Übersetzungen nicht gefunden (" << folder.toStdString()
                  << "/qtbase_de.qm): die Texte der Standarddialoge bleiben englisch\n";
        delete translator;
        return nullptr;
    }
    return translator;
}

}  // namespace nimbra
