#include "user_language.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kx {
namespace {

QString CataloguePath(const QString& directory, const QString& name, const QString& language)
{
    return directory + u'/' + name + u'_' + language + QStringLiteral(".qm");
}

// Installs the catalogue at `path` on the application, which then owns it; false when
// it cannot be read.
bool Install(const QString& path)
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(path)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

bool PseudoLocaleAsked()
{
    const QByteArray value = qgetenv(PseudoLocaleVariable);
    return !value.isEmpty() && value != "0";
}

// LC_ALL or LC_MESSAGES set to C or POSIX: the way to ask any program for its messages
// untranslated ("LC_ALL=C kx5170ctl show" for a bug report, or a script), which gettext
// honours over LANGUAGE, and Qt's list of languages does not.
bool UntranslatedAsked()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES"}) {
        const QByteArray value = qgetenv(name);
        if (value.isEmpty())
            continue;
        const QByteArray locale = value.split('.').constFirst();
        return locale == "C" || locale == "POSIX";
    }
    return false;
}

}  // namespace

QString ChooseLanguage(const QStringList& preferred, const TranslationCatalogues& catalogues)
{
    for (QString language : preferred) {
        language.replace(u'-', u'_');
        // "de_DE.UTF-8" and "de_DE@euro" as the environment spells them.
        language = language.section(u'.', 0, 0).section(u'@', 0, 0);
        const QString base = language.section(u'_', 0, 0);
        // Qt lists "C" after a language it does not know ("xx C de" for LANGUAGE=xx:de):
        // it names no language, so the user's next choice still counts.
        if (base.isEmpty() || base == QLatin1String("C") || base == QLatin1String("POSIX"))
            continue;
        if (base == QLatin1String("en"))
            return {};
        for (const QString& candidate : {language, base})
            if (QFileInfo::exists(CataloguePath(catalogues.Directory, catalogues.Name, candidate)))
                return candidate;
    }
    return {};
}

QString InstallUserLanguage(const TranslationCatalogues& catalogues)
{
    if (PseudoLocaleAsked()) {
        // Qt's own texts stay as Qt has them: there is no pseudo catalogue of Qt's.
        if (Install(CataloguePath(catalogues.Directory, catalogues.Name, QLatin1String(PseudoLanguage))))
            return QLatin1String(PseudoLanguage);
    }
    if (UntranslatedAsked())
        return {};
    const QString language = ChooseLanguage(QLocale::system().uiLanguages(), catalogues);
    if (language.isEmpty() || !Install(CataloguePath(catalogues.Directory, catalogues.Name, language)))
        return {};
    // Qt's catalogue of the same language, so that its buttons speak as the program
    // does; qtbase_de_AT is rare, so the language alone is tried as well.
    const QString qtDirectory = catalogues.QtDirectory.isEmpty()
                                    ? QLibraryInfo::path(QLibraryInfo::TranslationsPath)
                                    : catalogues.QtDirectory;
    const QString qtName = QStringLiteral("qtbase");
    if (!Install(CataloguePath(qtDirectory, qtName, language)))
        Install(CataloguePath(qtDirectory, qtName, language.section(u'_', 0, 0)));
    return language;
}

}  // namespace kx
