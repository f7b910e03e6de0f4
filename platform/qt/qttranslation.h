// Qt's own texts in German: the context menu of every edit field, the font
// dialog, the buttons of Qt's dialogs.  The translation is Qt's file
// qtbase_de.qm (Debian package qt6-translations-l10n) in Qt's translations
// folder.  The program's own texts are German already and are not looked
// up; the message dialog sets its title and button texts itself
// ("Information", "Error", "Confirm", "OK", "&Yes", "&No") and keeps them.
// Needs a QApplication.
#pragma once

#include <QString>

// Loads qtbase_de.qm from Qt's translations folder
// (QLibraryInfo::TranslationsPath) and installs it for the application's
// lifetime.  Answers whether it was installed; without the file Qt's
// English texts stay and the program goes on.
bool installqttranslation();
// The same from another folder (tests).
bool installqttranslation(const QString& folder);
