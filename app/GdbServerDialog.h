#ifndef ZENDRA_APP_GDBSERVERDIALOG_H
#define ZENDRA_APP_GDBSERVERDIALOG_H

#include <QDialog>

class GdbServer;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// Starts and stops the window's GDB server on a port of 127.0.0.1, and says what it is
// doing: stopped, waiting for GDB, or connected, with the command that connects GDB, and a
// warning while the server listens on an address that other machines reach.
class GdbServerDialog : public QDialog
{
    Q_OBJECT

public:
    GdbServerDialog(GdbServer* server, QWidget* parent);

    QSpinBox* portBox;
    QLabel* stateLabel;
    QLabel* warningLabel;
    QLineEdit* commandText;
    QPushButton* startButton;
    QPushButton* stopButton;

private slots:
    void OnStart();
    void OnStop();
    void UpdateState();

private:
    GdbServer* server;
};

#endif
