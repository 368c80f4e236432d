#ifndef ZENDRA_APP_MANUALDIALOG_H
#define ZENDRA_APP_MANUALDIALOG_H

#include <QDialog>

class QTextBrowser;

// The manual, a window of its own that stays open beside the main one.
class ManualDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ManualDialog(QWidget* parent);

    // Shows the one manual window of parent, made on first use.
    static ManualDialog* ShowManual(QWidget* parent);
    // The manual's text, in Markdown.
    static QString Text();

    QTextBrowser* browser;
};

#endif
