#include "gdb/GdbServer.h"

#include "session/Session.h"

#include <QTcpSocket>

GdbServer::GdbServer(Session* target, QObject* parent)
    : QObject(parent), target(target), session(target)
{
    connect(&server, &QTcpServer::newConnection, this, &GdbServer::OnNewConnection);
    connect(target, &Session::Finished, this, &GdbServer::OnFinished);
}

GdbServer::~GdbServer()
{
    Close();
}

bool GdbServer::Listen(const QHostAddress& address, quint16 port, QString* error)
{
    if (server.listen(address, port))
        return true;
    *error = QStringLiteral("Impossible d'écouter sur %1:%2 : %3")
                 .arg(address.toString())
                 .arg(port)
                 .arg(server.errorString());
    return false;
}

void GdbServer::Close()
{
    server.close();
    if (client)
        EndConnection(false);
}

void GdbServer::OnNewConnection()
{
    while (QTcpSocket* socket = server.nextPendingConnection()) {
        if (client) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        client = socket;
        client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(client, &QTcpSocket::readyRead, this, &GdbServer::OnReadyRead);
        connect(client, &QTcpSocket::disconnected, this, &GdbServer::OnDisconnected);
        reader = GdbPacketReader();
        pending.clear();
        emit Connecting();
        session.Begin();
        emit Connected();
    }
}

void GdbServer::OnReadyRead()
{
    if (!client)
        return;
    const QByteArray data = client->readAll();
    int position = 0;
    GdbPacketReader::Message message;
    while (client && reader.Next(data, &position, &message))
        Take(message);
}

void GdbServer::Interrupt()
{
    if (running)
        target->Interrupt();
}

void GdbServer::Take(const GdbPacketReader::Message& message)
{
    if (message.kind == GdbPacketReader::Interrupt) {
        Interrupt();
        return;
    }
    if (running) {
        if (pending.size() < maximumPending)
            pending.append(message);
        return;
    }
    switch (message.kind) {
    case GdbPacketReader::Packet:
        HandlePacket(message.payload);
        break;
    case GdbPacketReader::BadChecksum:
        if (session.acknowledging)
            client->write("-");
        break;
    default:
        // Overlong: acknowledged, so that GDB does not send it again, and refused.
        if (session.acknowledging)
            client->write("+");
        Send("E01");
        break;
    }
}

void GdbServer::TakePending()
{
    while (client && !running && !pending.isEmpty())
        Take(pending.takeFirst());
}

void GdbServer::HandlePacket(const QByteArray& payload)
{
    if (session.acknowledging)
        client->write("+");
    QByteArray reply;
    switch (session.Handle(payload, &reply)) {
    case GdbSession::Reply:
        for (const QByteArray& output : qAsConst(session.console))
            Send(output);
        Send(reply);
        if (session.changed)
            emit Changed();
        break;
    case GdbSession::Resume:
        Start();
        break;
    case GdbSession::Kill:
        if (!reply.isEmpty())
            Send(reply);
        EndConnection(true);
        break;
    case GdbSession::Detach:
        Send(reply);
        EndConnection(true);
        break;
    }
}

void GdbServer::Send(const QByteArray& payload)
{
    if (client)
        client->write(GdbSession::Frame(payload));
}

void GdbServer::Start()
{
    running = true;
    emit Resumed();
    // The machine is the session's alone: a run already going (it cannot be, once GDB has
    // taken the machine) would answer here, where it stands.
    if (!target->Start(session.resumeMode))
        OnFinished(target->LastStop());
}

void GdbServer::OnFinished(const RunStop& stop)
{
    if (!running)
        return;
    running = false;
    QByteArray console;
    const QByteArray reply = session.Stopped(stop, &console);
    if (!console.isEmpty())
        Send(console);
    Send(reply);
    emit Stopped();
    TakePending();
}

void GdbServer::OnDisconnected()
{
    EndConnection(false);
}

void GdbServer::EndConnection(bool byCommand)
{
    if (!client)
        return;
    if (running) {
        running = false;
        target->StopAndWait();
    }
    QTcpSocket* socket = client;
    client = nullptr;
    disconnect(socket, nullptr, this, nullptr);
    // The last reply ("OK" to a detach) goes out now: the runner quits right after this.
    socket->flush();
    if (socket->bytesToWrite() > 0)
        socket->waitForBytesWritten(1000);
    socket->disconnectFromHost();
    socket->deleteLater();
    pending.clear();
    session.End();
    emit Disconnected(byCommand);
}
