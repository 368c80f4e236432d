#ifndef ZENDRA_VIEWS_ERRORBOX_H
#define ZENDRA_VIEWS_ERRORBOX_H

#include <QString>

class QWidget;

// The modal box in which every error that the user must see is reported.
class ErrorBox
{
public:
    static QString Title();
    // Shows the message over parent with the critical icon and one default "OK" button,
    // and returns when the user has closed it.
    static void Show(QWidget* parent, const QString& message);
};

#endif
