#ifndef ZENDRA_APP_ADDWATCHPOINTDIALOG_H
#define ZENDRA_APP_ADDWATCHPOINTDIALOG_H

#include "core/Watchpoint.h"

#include <QDialog>

class Document;
class QComboBox;
class QLineEdit;
class QSpinBox;

// Asks for a watchpoint: the address as an expression, the length in bytes and the kind of
// access. An invalid address is refused with its faulty term selected.
class AddWatchpointDialog : public QDialog
{
    Q_OBJECT

public:
    AddWatchpointDialog(Document* document, QWidget* parent);

    void accept() override;

    Watchpoint watchpoint;
    QLineEdit* addressText;
    QSpinBox* lengthBox;
    QComboBox* kindBox;

private:
    Document* document;
};

#endif
