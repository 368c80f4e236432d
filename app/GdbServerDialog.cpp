#include "app/GdbServerDialog.h"

#include "gdb/GdbServer.h"
#include "views/ErrorBox.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

GdbServerDialog::GdbServerDialog(GdbServer* server, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      portBox(new QSpinBox(this)),
      stateLabel(new QLabel(this)),
      warningLabel(new QLabel(this)),
      commandText(new QLineEdit(this)),
      server(server)
{
    setWindowTitle(QStringLiteral("Serveur GDB"));
    portBox->setObjectName(QStringLiteral("portBox"));
    stateLabel->setObjectName(QStringLiteral("stateLabel"));
    commandText->setObjectName(QStringLiteral("commandText"));
    warningLabel->setObjectName(QStringLiteral("warningLabel"));
    warningLabel->setWordWrap(true);
    // GDB's usual port; 0 lets the system pick one.
    portBox->setRange(0, 65535);
    portBox->setValue(server->IsListening() ? server->Port() : 1234);
    portBox->setMaximumWidth(portBox->sizeHint().width());
    commandText->setReadOnly(true);
    commandText->setMinimumWidth(260);
    auto* explanation = new QLabel(QStringLiteral("Le programme ouvert est servi à GDB sur 127.0.0.1. Tant que GDB\n"
                                                  "est connecté, c'est lui qui mène l'exécution."),
                                   this);
    auto* buttons = new QDialogButtonBox(this);
    startButton = buttons->addButton(QStringLiteral("Démarrer"), QDialogButtonBox::ActionRole);
    stopButton = buttons->addButton(QStringLiteral("Arrêter"), QDialogButtonBox::ActionRole);
    buttons->addButton(QStringLiteral("Fermer"), QDialogButtonBox::RejectRole);
    startButton->setObjectName(QStringLiteral("startButton"));
    stopButton->setObjectName(QStringLiteral("stopButton"));
    auto* form = new QFormLayout(this);
    form->addRow(explanation);
    form->addRow(QStringLiteral("Port :"), portBox);
    form->addRow(QStringLiteral("État :"), stateLabel);
    form->addRow(QStringLiteral("Dans GDB :"), commandText);
    form->addRow(warningLabel);
    form->addRow(buttons);
    connect(startButton, &QPushButton::clicked, this, &GdbServerDialog::OnStart);
    connect(stopButton, &QPushButton::clicked, this, &GdbServerDialog::OnStop);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(server, &GdbServer::Connected, this, &GdbServerDialog::UpdateState);
    connect(server, &GdbServer::Disconnected, this, &GdbServerDialog::UpdateState);
    UpdateState();
}

void GdbServerDialog::OnStart()
{
    QString error;
    if (!server->Listen(QHostAddress::LocalHost, quint16(portBox->value()), &error))
        ErrorBox::Show(this, error);
    UpdateState();
}

void GdbServerDialog::OnStop()
{
    server->Close();
    UpdateState();
}

void GdbServerDialog::UpdateState()
{
    const bool listening = server->IsListening();
    const QString where = server->Where();
    if (!listening)
        stateLabel->setText(QStringLiteral("Arrêté"));
    else if (server->IsConnected())
        stateLabel->setText(QStringLiteral("GDB connecté sur %1").arg(where));
    else
        stateLabel->setText(QStringLiteral("En attente de GDB sur %1").arg(where));
    commandText->setText(listening ? QStringLiteral("target remote %1").arg(where) : QString());
    commandText->setCursorPosition(0);
    warningLabel->setText(server->ExposureWarning());
    warningLabel->setVisible(!warningLabel->text().isEmpty());
    if (listening)
        portBox->setValue(server->Port());
    portBox->setEnabled(!listening);
    startButton->setEnabled(!listening);
    stopButton->setEnabled(listening);
}
