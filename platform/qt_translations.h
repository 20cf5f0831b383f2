// Qt's own texts in the interface language: the standard buttons of message
// boxes and dialogs (OK, Cancel, Apply, Yes, No), the file dialog, the
// edit menus, and the locale's date texts. The words come from the
// translation files Qt installs (on Debian, the package
// qt6-translations-l10n).
#pragma once

#include <QString>

class QDateTime;

// Installs Qt's translation for `language` (a LanguageId) in place of the
// one installed before, and makes the language's locale QLocale's default
// (English's for a language outside 0..5). English, a language outside
// 0..5 or a missing translation file leave Qt's English texts; false then
// (true for English).
bool UseQtTranslation(int language);

// A standard button's text as Qt shows it in the installed language;
// `english` is Qt's own English text ("OK", "Cancel", "Apply").
QString QtButtonText(const char* english);

// A date and time in the short form of QLocale's default locale (the
// interface language's), with the morning or afternoon mark where the
// locale writes one: Traditional Chinese gives "2026/12/8 上午7:49".
QString ShortDateTimeText(const QDateTime& time);
