#pragma once

#include <QString>

// Qt's own texts (file dialogs, text fields' context menus, standard buttons) in the
// interface language: Qt's Czech or Slovak translation catalogue, installed into the running
// application and swapped when the language changes.
class TQtTranslations {
public:
    // Installs the catalogue of the language index (LangCzech, LangSlovak) in place of the one
    // installed before; does nothing without an application object. Gives false when the
    // catalogue could not be loaded (Qt's texts then stay in English, which the log says).
    static bool Follow(int languageIndex);
    // The folder the catalogues are read from (Qt's translations folder unless
    // TELLAVO_QT_TRANSLATIONS names another).
    static QString Folder();
};
