#include "session/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

QtTranslations::QtTranslations() : QtTranslations(QLibraryInfo::location(QLibraryInfo::TranslationsPath))
{
}

// qtbase alone holds every text of Core, Gui and Widgets; qt_fr.qm would pull in the
// catalogues of modules that the programs do not use.
QtTranslations::QtTranslations(const QString& folder)
    : translator(std::make_unique<QTranslator>()), loaded(translator->load(QStringLiteral("qtbase_fr"), folder))
{
}

QtTranslations::~QtTranslations() = default;

bool QtTranslations::IsLoaded() const
{
    return loaded;
}

void QtTranslations::Install()
{
    if (loaded)
        QCoreApplication::installTranslator(translator.get());
}
