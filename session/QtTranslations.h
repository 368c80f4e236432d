#ifndef ZENDRA_SESSION_QTTRANSLATIONS_H
#define ZENDRA_SESSION_QTTRANSLATIONS_H

#include <QString>

#include <memory>

class QTranslator;

// Qt's own texts in French, as the rest of the interface is: the file dialog's labels, the
// message boxes' buttons, the names of keys in menus, the command line's usage and errors.
// Debian ships them in qttranslations5-l10n; without that file Qt's texts stay English.
class QtTranslations
{
public:
    // From the folder where Qt keeps its translations.
    QtTranslations();
    explicit QtTranslations(const QString& folder);
    ~QtTranslations();

    // Whether the French texts were found and read.
    bool IsLoaded() const;
    // Installs them into the application object that exists now, if they were read. Each
    // application object keeps its own list: one made later needs them installed again.
    void Install();

private:
    std::unique_ptr<QTranslator> translator;
    bool loaded = false;
};

#endif
