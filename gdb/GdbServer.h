#ifndef ZENDRA_GDB_GDBSERVER_H
#define ZENDRA_GDB_GDBSERVER_H

#include "gdb/GdbPacketReader.h"
#include "gdb/GdbSession.h"
#include "session/RunStop.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

class QTcpSocket;
class Session;

// Serves GDB's remote protocol on a session, to one client at a time: a second is turned
// away while the first is connected. GDB's runs are the session's, and each one records the
// history that its reverse commands take back.
class GdbServer : public QObject
{
    Q_OBJECT

public:
    explicit GdbServer(Session* target, QObject* parent = nullptr);
    ~GdbServer() override;

    // False, with a French message, when the address and port cannot be listened on.
    bool Listen(const QHostAddress& address, quint16 port, QString* error);
    // Stops listening and ends the connection, if any.
    void Close();
    bool IsListening() const { return server.isListening(); }
    bool IsConnected() const { return client != nullptr; }
    // GDB has resumed the machine and it has not stopped yet.
    bool IsRunning() const { return running; }
    QHostAddress Address() const { return server.serverAddress(); }
    quint16 Port() const { return server.serverPort(); }
    // "127.0.0.1:1234", as GDB's target command takes it.
    QString Where() const { return QStringLiteral("%1:%2").arg(server.serverAddress().toString()).arg(server.serverPort()); }

    // As Ctrl-C from GDB: the run that GDB started stops, and GDB is told why.
    void Interrupt();

signals:
    // A client is about to take the machine: whoever else runs it must stop now.
    void Connecting();
    void Connected();
    void Resumed();
    // The machine stopped under GDB, or GDB changed registers, memory or breakpoints: what
    // shows the machine should show it again.
    void Stopped();
    void Changed();
    // The connection ended; byCommand when GDB detached or killed.
    void Disconnected(bool byCommand);

private slots:
    void OnNewConnection();
    void OnReadyRead();
    void OnDisconnected();
    void OnFinished(const RunStop& stop);

private:
    void Take(const GdbPacketReader::Message& message);
    void HandlePacket(const QByteArray& payload);
    void TakePending();
    void Send(const QByteArray& payload);
    void Start();
    void EndConnection(bool byCommand);

    Session* target;
    QTcpServer server;
    QTcpSocket* client = nullptr;
    GdbPacketReader reader;
    GdbSession session;
    bool running = false;
    // Messages that came while the machine ran, taken in once it stops; a client that sends
    // more than a few is not following the protocol, and the rest are dropped.
    QList<GdbPacketReader::Message> pending;
    static constexpr int maximumPending = 16;
};

#endif
