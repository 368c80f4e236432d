#ifndef ZENDRA_GDB_GDBSERVER_H
#define ZENDRA_GDB_GDBSERVER_H

#include "gdb/GdbPacketReader.h"
#include "gdb/GdbSession.h"
#include "session/RunStop.h"

#include <QAbstractSocket>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <QTimer>

class QTcpSocket;
class Session;

// Serves GDB's remote protocol on a session, to one client at a time: a second is turned
// away while the first stays connected, and served once the first has gone. GDB's runs are
// the session's, and each one records the history that its reverse commands take back.
class GdbServer : public QObject
{
    Q_OBJECT

public:
    // Replies waiting to be sent past which the client's packets are left unread until
    // the client reads: GDB waits for each reply before its next packet, so it never comes
    // near; four of the largest replies let a client that sends reads ahead keep the line
    // busy, and a client that never reads holds no more than that (and one reply).
    static constexpr qint64 maximumUnsent = 4 * (GdbPacketReader::maximumPayload + 4);
    // The socket's own buffer for what the client sent and the server has not read: beyond
    // it the system's buffers fill and the client waits.
    static constexpr qint64 maximumUnread = 0x4000;

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
    // "127.0.0.1:1234" or "[::1]:1234", as GDB's target command takes it.
    QString Where() const { return Endpoint(server.serverAddress(), server.serverPort()); }
    static QString Endpoint(const QHostAddress& address, quint16 port);
    // "Attention : ..." while the server listens on an address that other machines can
    // reach (any but a loopback one), whose clients may read and write the whole machine;
    // empty otherwise.
    QString ExposureWarning() const;

    // What waits to be sent to the client, and what it sent that is not handled yet.
    qint64 UnsentBytes() const;
    qint64 UnreadBytes() const;

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
    void Serve();
    void OnDisconnected();
    void OnFinished(const RunStop& stop);
    void TurnAwayWaiting();

private:
    void Accept(QTcpSocket* socket);
    static void TurnAway(QTcpSocket* socket);
    bool NextMessage(GdbPacketReader::Message* message);
    void Take(const GdbPacketReader::Message& message);
    void HandlePacket(const QByteArray& payload);
    void Send(const QByteArray& payload);
    void Start();
    void EndConnection(bool byCommand);

    Session* target;
    QTcpServer server;
    QTcpSocket* client = nullptr;
    // The last client that connected while another was served. The server learns of a
    // client's end only when it reads it, which may come after it takes the next connection
    // (a client that reconnects at once): so the newcomer waits for the other's end, and is
    // turned away if it has not come within the grace.
    QTcpSocket* waiting = nullptr;
    QTimer grace;
    static constexpr int graceMilliseconds = 1000;
    // What was read from the client and not yet split into messages, from inputPosition.
    QByteArray input;
    int inputPosition = 0;
    GdbPacketReader reader;
    GdbSession session;
    bool running = false;
    // Messages that came while the machine ran, taken in once it stops; a client that sends
    // more than a few is not following the protocol, and the rest are dropped.
    QList<GdbPacketReader::Message> pending;
    static constexpr int maximumPending = 16;
};

#endif
