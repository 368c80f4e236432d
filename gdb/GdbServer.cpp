#include "gdb/GdbServer.h"

#include "session/Session.h"

#include <QTcpSocket>

namespace {

// How much of the socket's buffer is split into messages at a time.
constexpr qint64 readChunk = 0x1000;

// What the system's refusal means, in French.
QString Meaning(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::AddressInUseError:
        return QStringLiteral("ce port est déjà pris sur cette adresse");
    case QAbstractSocket::SocketAddressNotAvailableError:
        return QStringLiteral("cette adresse n'est celle d'aucune interface de cette machine");
    case QAbstractSocket::SocketAccessError:
        return QStringLiteral("le système refuse ce port à ce programme, les ports sous 1024 demandent les droits d'administrateur");
    case QAbstractSocket::UnsupportedSocketOperationError:
        return QStringLiteral("le système ne permet pas d'écouter sur cette adresse");
    case QAbstractSocket::SocketResourceError:
        return QStringLiteral("le système manque de ressources, trop de fichiers ou de connexions sont ouverts");
    default:
        return QStringLiteral("le réseau a renvoyé une erreur inattendue");
    }
}

} // namespace

GdbServer::GdbServer(Session* target, QObject* parent)
    : QObject(parent), target(target), session(target)
{
    grace.setSingleShot(true);
    grace.setInterval(graceMilliseconds);
    connect(&grace, &QTimer::timeout, this, &GdbServer::TurnAwayWaiting);
    connect(&server, &QTcpServer::newConnection, this, &GdbServer::OnNewConnection);
    connect(target, &Session::Finished, this, &GdbServer::OnFinished);
}

GdbServer::~GdbServer()
{
    Close();
}

// Qt's own words, in English, only as a detail at the end.
bool GdbServer::Listen(const QHostAddress& address, quint16 port, QString* error)
{
    if (server.listen(address, port))
        return true;
    *error = QStringLiteral("Impossible d'écouter sur %1 : %2 (%3)")
                 .arg(Endpoint(address, port), Meaning(server.serverError()), server.errorString());
    return false;
}

QString GdbServer::Endpoint(const QHostAddress& address, quint16 port)
{
    const QString text = address.toString();
    // An IPv6 address's colons would run into the port's.
    return text.contains(QLatin1Char(':')) ? QStringLiteral("[%1]:%2").arg(text).arg(port)
                                           : QStringLiteral("%1:%2").arg(text).arg(port);
}

QString GdbServer::ExposureWarning() const
{
    if (!server.isListening() || server.serverAddress().isLoopback())
        return QString();
    return QStringLiteral("Attention : le serveur GDB écoute sur %1, toute machine du réseau qui le joint peut lire "
                          "et écrire la mémoire et les registres")
        .arg(Where());
}

qint64 GdbServer::UnsentBytes() const
{
    return client ? client->bytesToWrite() : 0;
}

qint64 GdbServer::UnreadBytes() const
{
    return client ? client->bytesAvailable() + input.size() - inputPosition : 0;
}

void GdbServer::Close()
{
    server.close();
    grace.stop();
    TurnAwayWaiting();
    if (client)
        EndConnection(false);
}

void GdbServer::OnNewConnection()
{
    while (QTcpSocket* socket = server.nextPendingConnection()) {
        // What it sends before it is served stays in the system's buffers beyond this.
        socket->setReadBufferSize(maximumUnread);
        if (!client) {
            Accept(socket);
            continue;
        }
        // The latest is the likeliest to be the client coming back; one that waited before
        // it may have given up already.
        if (waiting)
            TurnAway(waiting);
        waiting = socket;
        grace.start();
    }
}

void GdbServer::TurnAwayWaiting()
{
    if (waiting) {
        TurnAway(waiting);
        waiting = nullptr;
    }
}

void GdbServer::TurnAway(QTcpSocket* socket)
{
    socket->abort();
    socket->deleteLater();
}

void GdbServer::Accept(QTcpSocket* socket)
{
    // It may have given up while it waited.
    if (socket->state() != QAbstractSocket::ConnectedState) {
        socket->deleteLater();
        return;
    }
    client = socket;
    client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(client, &QTcpSocket::readyRead, this, &GdbServer::Serve);
    // Replies going out may let the packets that wait be handled.
    connect(client, &QTcpSocket::bytesWritten, this, &GdbServer::Serve);
    connect(client, &QTcpSocket::disconnected, this, &GdbServer::OnDisconnected);
    reader = GdbPacketReader();
    input.clear();
    inputPosition = 0;
    pending.clear();
    emit Connecting();
    session.Begin();
    emit Connected();
    // What a client that waited sent meanwhile.
    Serve();
}

// Messages in the order sent, those that waited for a run's end first, as long as the
// replies waiting to go out stay under maximumUnsent: past it, the rest waits in the
// buffers until the client reads, so that one that never does cannot make them grow.
void GdbServer::Serve()
{
    while (client && client->bytesToWrite() <= maximumUnsent) {
        GdbPacketReader::Message message;
        if (!running && !pending.isEmpty())
            message = pending.takeFirst();
        else if (!NextMessage(&message))
            return;
        Take(message);
    }
}

bool GdbServer::NextMessage(GdbPacketReader::Message* message)
{
    while (!reader.Next(input, &inputPosition, message)) {
        input = client->read(readChunk);
        inputPosition = 0;
        if (input.isEmpty())
            return false;
    }
    return true;
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
    Serve();
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
    if (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() > 0)
        socket->waitForBytesWritten(1000);
    socket->disconnectFromHost();
    socket->deleteLater();
    pending.clear();
    input.clear();
    inputPosition = 0;
    session.End();
    emit Disconnected(byCommand);
    // The client that connected as this one went.
    if (waiting && server.isListening()) {
        grace.stop();
        QTcpSocket* next = waiting;
        waiting = nullptr;
        Accept(next);
    }
}
