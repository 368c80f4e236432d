#ifndef ZENDRA_VIEWS_GETADDRESSDIALOG_H
#define ZENDRA_VIEWS_GETADDRESSDIALOG_H

#include <QDialog>
#include <QString>

class Calculator;
class Document;
class GetAddressDialogForm;

// Asks for one address as an expression; the caller reads `address` after acceptance.
class GetAddressDialog : public QDialog
{
    Q_OBJECT

public:
    GetAddressDialog(Document* document, QString title, QWidget* parent);
    ~GetAddressDialog() override;

    GetAddressDialogForm* ui;
    Document* document;
    Calculator* calculator;
    // Not masked to 24 bits: each caller masks as it needs.
    unsigned int address;

public slots:
    void accept() override;
};

#endif
