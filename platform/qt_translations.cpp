#include "platform/qt_translations.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "res/text_rows.h"

namespace {

// Qt's locale of each LanguageId; English needs no translation.
constexpr const char* kQtLocales[kLanguageCount] = {"fr", nullptr, "es", "de", "zh_CN", "zh_TW"};
// The locale whose formats (dates, sizes, numbers) Qt's widgets use.
constexpr const char* kFormatLocales[kLanguageCount] = {"fr_FR", "en_US", "es_ES",
                                                        "de_DE", "zh_CN", "zh_TW"};

QTranslator* installed = nullptr;

// Some locales' formats hold CLDR's day-period letters, which Qt's formatter
// does not know: Traditional Chinese's "Bh:mm" came out as "B7:49", and
// with no am/pm field the hour was a 24-hour one. Each run of "B" or "b"
// outside quotes becomes Qt's am/pm field "AP".
QString WithQtDayPeriods(const QString& format) {
  QString out;
  bool quoted = false;
  for (qsizetype i = 0; i < format.size(); ++i) {
    const QChar c = format[i];
    if (c == QLatin1Char('\'')) quoted = !quoted;
    if (quoted || (c != QLatin1Char('B') && c != QLatin1Char('b'))) {
      out += c;
      continue;
    }
    while (i + 1 < format.size() && format[i + 1] == c) ++i;
    out += QLatin1String("AP");
  }
  return out;
}

}  // namespace

bool UseQtTranslation(int language) {
  if (installed != nullptr) {
    QCoreApplication::removeTranslator(installed);
    delete installed;
    installed = nullptr;
  }
  const bool known = language >= 0 && language < kLanguageCount;
  QLocale::setDefault(QLocale(QString::fromLatin1(kFormatLocales[known ? language : 1])));
  if (!known) return false;
  const char* locale = kQtLocales[language];
  if (locale == nullptr) return true;
  auto* translator = new QTranslator;
  // "qt_<locale>" gathers the translations of every Qt module installed.
  if (!translator->load(QLocale(QString::fromLatin1(locale)), QStringLiteral("qt"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  QCoreApplication::installTranslator(translator);
  installed = translator;
  return true;
}

QString QtButtonText(const char* english) {
  // The context Qt's platform themes translate the standard buttons in.
  return QCoreApplication::translate("QPlatformTheme", english);
}

QString ShortDateTimeText(const QDateTime& time) {
  const QLocale locale;
  return locale.toString(time, WithQtDayPeriods(locale.dateTimeFormat(QLocale::ShortFormat)));
}
