#pragma once

class QCoreApplication;

namespace host {

// Loads Qt's own translations for the user's language from Qt's
// translations folder, so the standard dialogs (file dialogs, message box
// buttons) speak the session's language. Without them they stay English.
void installQtTranslations(QCoreApplication &application);

} // namespace host
