// Qt's own texts in the interface language: the standard buttons of message
// boxes and dialogs (OK, Cancel, Apply, Yes, No), the file dialog, the
// edit menus. They come from the translation files Qt installs (on Debian,
// the package qt6-translations-l10n).
#pragma once

#include <QString>

// Installs Qt's translation for `language` (a LanguageId) in place of the
// one installed before, and makes the language's locale QLocale's default
// (English's for a language outside 0..5). English, a language outside
// 0..5 or a missing translation file leave Qt's English texts; false then
// (true for English).
bool UseQtTranslation(int language);

// A standard button's text as Qt shows it in the installed language;
// `english` is Qt's own English text ("OK", "Cancel", "Apply").
QString QtButtonText(const char* english);
