// Qt's own texts in Japanese: the standard dialogs (file dialogs, message box buttons), the
// context menus of text fields and the command line's usage come from Qt's translation
// "qtbase_ja", loaded once at start.
#pragma once

namespace verko {

// Installs Qt's Japanese translation into the running application (which must exist and
// owns it). False when the translation is not installed; the texts then stay in English.
bool InstallQtTranslation();

}  // namespace verko
