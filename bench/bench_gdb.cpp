// What GDB's "continue" costs against the window's "Exécuter": the same run to a breakpoint,
// once on the emulation thread as the window starts it, once through the GDB server from a
// client on a local socket (a breakpoint packet, then "c" and its stop reply). Two
// workloads: a count-down loop of 100 million instructions, and the compiled test programs
// of the build tree. Alternated, best of several rounds.
#include "program/SRecordLoader.h"
#include "session/Document.h"
#include "session/Emulation.h"
#include "session/Session.h"
#include "core/Emulator.h"
#include "core/Memory.h"
#include "gdb/GdbServer.h"
#include "gdb/GdbSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {

const unsigned int branchToItself = 0x60FE;

// MOVE.L #n,D0; SUBQ.L #1,D0; BNE.S *-2; BRA.S *: 2n instructions and a few.
void CountDown(Document& document, unsigned int n)
{
    Memory& m = *document.memory;
    const unsigned short code[] = {0x203C, static_cast<unsigned short>(n >> 16), static_cast<unsigned short>(n),
                                   0x5380, 0x66FC, 0x60FE};
    for (unsigned int i = 0; i < 6; ++i)
        m.Write(0x1000 + 2 * i, code[i], 16, true);
    document.emulator->Reset();
    document.emulator->registers->pc = 0x1000;
    document.emulator->undoList.items.clear();
}

qint64 Window(Document& document, unsigned int end)
{
    document.RemoveAllAddressBreakpoints();
    document.AddAddressBreakpoint(end);
    document.mode = RunMode;
    Emulation emulation(&document);
    QElapsedTimer timer;
    timer.start();
    emulation.start(QThread::TimeCriticalPriority);
    emulation.wait();
    const qint64 elapsed = timer.nsecsElapsed();
    return emulation.result == AddressBreak && document.emulator->registers->pc == end ? elapsed : -1;
}

// Waits for a whole reply packet from the server, running the event loop meanwhile.
QByteArray Reply(QTcpSocket& socket, QByteArray& buffer)
{
    QEventLoop loop;
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    const auto connection = QObject::connect(&socket, &QTcpSocket::readyRead, [&] {
        buffer += socket.readAll();
        if (buffer.contains('#') && buffer.indexOf('#') + 2 < buffer.size())
            loop.quit();
    });
    buffer += socket.readAll();
    if (!buffer.contains('#') || buffer.indexOf('#') + 2 >= buffer.size())
        loop.exec();
    QObject::disconnect(connection);
    const int start = buffer.indexOf('$');
    const int hash = buffer.indexOf('#');
    const QByteArray payload = buffer.mid(start + 1, hash - start - 1);
    buffer.remove(0, hash + 3);
    return payload;
}

qint64 Gdb(Session& machine, unsigned int end)
{
    Document& document = *machine.document;
    document.RemoveAllAddressBreakpoints();
    GdbServer server(&machine);
    QString error;
    if (!server.Listen(QHostAddress::LocalHost, 0, &error))
        return -1;
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server.Port());
    if (!socket.waitForConnected(5000))
        return -1;
    QByteArray buffer;
    auto ask = [&](const QByteArray& payload) {
        socket.write(GdbSession::Frame(payload));
        return Reply(socket, buffer);
    };
    if (ask("QStartNoAckMode") != "OK" || ask("Z0," + QByteArray::number(end, 16) + ",2") != "OK")
        return -1;
    QElapsedTimer timer;
    timer.start();
    const QByteArray stop = ask("c");
    const qint64 elapsed = timer.nsecsElapsed();
    return stop.startsWith("T05") && document.emulator->registers->pc == end ? elapsed : -1;
}

using Prepare = std::function<bool(Document&)>;

// Millions of instructions per second of the window's run and of GDB's, alternated.
void Compare(const char* name, const QList<Prepare>& workloads)
{
    Session machine;
    Document& document = *machine.document;
    long long total = 0;
    QList<unsigned int> ends;
    for (const Prepare& prepare : workloads) {
        if (!prepare(document))
            return;
        Emulator& e = *document.emulator;
        while (document.memory->Read(e.registers->pc, 16) != branchToItself) {
            e.QuickExecute();
            ++total;
        }
        ends << e.registers->pc;
    }
    double best[2] = {};
    for (int round = 0; round < 5; ++round) {
        for (int which = 0; which < 2; ++which) {
            qint64 nanoseconds = 0;
            for (int i = 0; i < workloads.size(); ++i) {
                workloads.at(i)(document);
                const qint64 t = which == 0 ? Window(document, ends.at(i)) : Gdb(machine, ends.at(i));
                if (t < 0) {
                    std::printf("%s: the run did not stop at its end\n", name);
                    return;
                }
                nanoseconds += t;
            }
            best[which] = std::max(best[which], total * 1e3 / double(nanoseconds));
        }
    }
    std::printf("%s, %lld instructions:\n  Exécuter:        %6.1f million instructions/s\n"
                "  GDB's continue:  %6.1f million instructions/s\n",
                name, total, best[0], best[1]);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    Compare("Count-down loop", {[](Document& d) {
                CountDown(d, 50000000);
                return true;
            }});
    const QDir programs(application.applicationDirPath() + QStringLiteral("/../tests/emulator"));
    QList<Prepare> compiled;
    for (const QString& name : programs.entryList({QStringLiteral("compiled_*.hex")}, QDir::Files, QDir::Name)) {
        const QString file = programs.filePath(name);
        compiled << [file](Document& d) {
            SRecordLoader loader(file, d.memory);
            if (!loader.Load())
                return false;
            d.emulator->Reset();
            d.emulator->undoList.items.clear();
            return true;
        };
    }
    if (compiled.isEmpty()) {
        std::printf("No compiled program: build the tests first.\n");
        return 1;
    }
    Compare("Compiled test programs", compiled);
    return 0;
}
