#include "platform/qt_translations.h"

#include <QCoreApplication>
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
