#ifndef ZENDRA_APP_ABOUTDIALOG_H
#define ZENDRA_APP_ABOUTDIALOG_H

#include <QDialog>

class QLabel;
class QPushButton;

// The program's name and version in a small fixed box.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);

    QPushButton* okButton;
    QLabel* label;
};

#endif
