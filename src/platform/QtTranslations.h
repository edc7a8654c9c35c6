#pragma once
// Qt's own texts (standard dialogs, the print preview) in Brazilian Portuguese.

// Loads Qt's pt_BR translations once for the application; false when they are not installed
// (package qt6-translations-l10n), and Qt's texts then stay in English.
bool installPortugueseQtTranslations();
