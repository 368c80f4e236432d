#ifndef ZENDRA_APP_BREAKPOINTCONDITIONDIALOG_H
#define ZENDRA_APP_BREAKPOINTCONDITIONDIALOG_H

#include "core/BreakpointCondition.h"

#include <QDialog>

class Document;
class QLineEdit;
class QSpinBox;

// Edits the condition and the ignore count of one address breakpoint. An empty condition
// always holds; a condition typed wrong is refused with its faulty part selected.
class BreakpointConditionDialog : public QDialog
{
    Q_OBJECT

public:
    BreakpointConditionDialog(Document* document, const BreakpointCondition& condition, QWidget* parent);

    void accept() override;

    BreakpointCondition condition;
    QLineEdit* conditionText;
    QSpinBox* ignoreBox;

private:
    Document* document;
};

#endif
