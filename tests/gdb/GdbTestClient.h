// A GDB client for the tests, on a local socket: packets framed and sent, replies read as
// they come while the event loop runs (the server may live in the same thread).
#ifndef ZENDRA_TESTS_GDBTESTCLIENT_H
#define ZENDRA_TESTS_GDBTESTCLIENT_H

#include "gdb/GdbSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpSocket>

#include <functional>

class GdbTestClient
{
public:
    bool Connect(quint16 port)
    {
        socket.connectToHost(QHostAddress::LocalHost, port);
        return socket.waitForConnected(5000);
    }
    void Send(const QByteArray& bytes) { socket.write(bytes); socket.flush(); }
    // Waits, with the event loop running, until the received bytes hold a whole packet or
    // the condition; false on time out.
    bool WaitFor(const std::function<bool()>& done, int milliseconds = 5000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < milliseconds) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (socket.isOpen())
                received += socket.readAll();
        }
        return done();
    }
    // The payload of the next packet, without its frame; acknowledgements are skipped.
    QByteArray Packet()
    {
        auto whole = [this] {
            const int hash = received.indexOf('#');
            return received.contains('$') && hash >= 0 && hash + 2 < received.size();
        };
        if (!WaitFor(whole))
            return "(none)";
        const int start = received.indexOf('$');
        const int hash = received.indexOf('#', start);
        const QByteArray payload = received.mid(start + 1, hash - start - 1);
        received.remove(0, hash + 3);
        return payload;
    }
    QByteArray Ask(const QByteArray& payload)
    {
        Send(GdbSession::Frame(payload));
        return Packet();
    }

    QTcpSocket socket;
    QByteArray received;
};

#endif
