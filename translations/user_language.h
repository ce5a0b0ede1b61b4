// The language the programs speak: the user's first choice among the catalogues built
// into them, English (the language of the source) where none is. The window programs
// and kx5170ctl all start with InstallUserLanguage, so the three choose alike.
#pragma once

#include <QString>
#include <QStringList>

namespace kx {

// Where catalogues are found and what they are called: <Directory>/<Name>_<language>.qm.
struct TranslationCatalogues {
    // The program's own, built into its resources from translations/*.ts.
    QString Directory = QStringLiteral(":/i18n");
    QString Name = QStringLiteral("kx5170-config");
    // Qt's own (dialog buttons, the command line's "Options:"), from the system
    // (Debian: qt6-translations-l10n); empty for the path Qt was built with.
    QString QtDirectory;
};

// The environment variable that selects the pseudo-translation: every text bracketed
// and lengthened by about 40 %, so that a text never translated, or one a layout cuts
// off, shows at a glance. Any value but empty or "0" selects it.
inline constexpr char PseudoLocaleVariable[] = "KX5170_PSEUDO_LOCALE";
// The language name the pseudo-translation's catalogue carries.
inline constexpr char PseudoLanguage[] = "pseudo";

// The catalogue for the first of `preferred` (as QLocale::uiLanguages gives them,
// "de-AT" or "de_AT", first choice first) that is English or has one: its language as
// it is named in the file ("de_AT", or "de" for "de-AT" when only that exists), or
// empty for English. A language that is English ends the search, so a user who puts
// English before German gets English, not the German that merely exists; "C" and
// "POSIX" name no language and are passed over.
QString ChooseLanguage(const QStringList& preferred, const TranslationCatalogues& catalogues = {});

// Chooses from QLocale::system().uiLanguages() (which on Linux follows LANGUAGE, then
// LC_ALL, LC_MESSAGES and LANG), or the pseudo-translation when PseudoLocaleVariable
// says so; English when LC_ALL, or else LC_MESSAGES, is set to C or POSIX (with any
// codeset), whatever LANGUAGE says, as for other programs. It installs the program's catalogue and, for a language other than
// English, Qt's own catalogue of the same language when the system has it, on the
// running QCoreApplication, which keeps them for the rest of the program. Returns the
// language installed, empty for English. What scripts read (option names, JSON keys,
// exit statuses) is never translated, whatever this installs.
QString InstallUserLanguage(const TranslationCatalogues& catalogues = {});

}  // namespace kx
