// The GDB remote protocol packet by packet: the framing of what arrives, the answers of a
// session on a real document, and a server on a socket with the clients that misbehave.
#include "session/Document.h"
#include "session/Session.h"
#include "core/Emulator.h"
#include "core/Memory.h"
#include "core/Register.h"
#include "gdb/GdbPacketReader.h"
#include "gdb/GdbServer.h"
#include "gdb/GdbSession.h"
#include "gdb/GdbTestClient.h"
#include "session/ProgramLoader.h"
#include "program/SymbolTable.h"

#include <QTcpSocket>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {

bool LoadDebugged(Document& document)
{
    ProgramLoader loader(QStringLiteral(DEBUGGED), &document);
    if (!loader.Load())
        return false;
    document.emulator->Reset();
    return true;
}

QList<GdbPacketReader::Message> Read(GdbPacketReader& reader, const QByteArray& data)
{
    QList<GdbPacketReader::Message> messages;
    int position = 0;
    GdbPacketReader::Message m;
    while (reader.Next(data, &position, &m))
        messages << m;
    return messages;
}

QByteArray Ask(GdbSession& session, const QByteArray& payload)
{
    QByteArray reply;
    session.Handle(payload, &reply);
    return reply;
}

} // namespace

class GdbProtocolTest : public QObject
{
    Q_OBJECT

private slots:
    void framing();
    void registersAndMemory();
    void rejectedPacketsWriteNothing();
    void breakpointsBelongToTheClient();
    void queriesAndTargetDescription();
    void runningForwardsAndBackwards();
    void serverSurvivesMisbehavingClients();
    void unreadRepliesHoldThePacketsBack();
    void clientsComingBackAtOnceAreServed();
    void addressesShownAndRefusalsExplained();
    void pausesForTheRunnersKeys();
};

void GdbProtocolTest::framing()
{
    GdbPacketReader reader;
    // A packet in pieces, acknowledgements and noise around it, an interrupt after it.
    QVERIFY(Read(reader, "+-xx$qSupp").isEmpty());
    QList<GdbPacketReader::Message> m = Read(reader, "orted#37\x03");
    QCOMPARE(m.size(), 2);
    QCOMPARE(int(m.at(0).kind), int(GdbPacketReader::Packet));
    QCOMPARE(m.at(0).payload, QByteArray("qSupported"));
    QCOMPARE(int(m.at(1).kind), int(GdbPacketReader::Interrupt));
    // Wrong or non-hexadecimal checksums; a packet cut short by the next one's start.
    m = Read(reader, "$g#00$g#6z$m0,$g#67");
    QCOMPARE(m.size(), 3);
    QCOMPARE(int(m.at(0).kind), int(GdbPacketReader::BadChecksum));
    QCOMPARE(int(m.at(1).kind), int(GdbPacketReader::BadChecksum));
    QCOMPARE(int(m.at(2).kind), int(GdbPacketReader::Packet));
    QCOMPARE(m.at(2).payload, QByteArray("g"));
    // Overlong: reported once its end comes, whatever its checksum; the next one is read.
    const QByteArray big(GdbPacketReader::maximumPayload + 1, 'a');
    m = Read(reader, "$" + big + "#00" + GdbSession::Frame("?"));
    QCOMPARE(m.size(), 2);
    QCOMPARE(int(m.at(0).kind), int(GdbPacketReader::Overlong));
    QCOMPARE(m.at(1).payload, QByteArray("?"));
    // Frames made for replies read back, binary bytes included.
    const QByteArray binary("X1000,2:\x00\xff", 10);
    m = Read(reader, GdbSession::Frame(binary));
    QCOMPARE(m.size(), 1);
    QCOMPARE(m.at(0).payload, binary);
}

void GdbProtocolTest::registersAndMemory()
{
    Session machine;
    Document& document = *machine.document;
    GdbSession session(&machine);
    Register& r = *document.emulator->registers;
    r.Set(QStringLiteral("D0"), 0x11223344);
    r.Set(QStringLiteral("A6"), 0x7FFE0);
    r.sr = 0x2700;
    r.ssp = 0x80000;
    r.usp = 0x1000;
    r.pc = 0x1234;
    const QByteArray all = Ask(session, "g");
    QCOMPARE(all.size(), 18 * 8);
    QCOMPARE(all.left(8), QByteArray("11223344"));
    QCOMPARE(all.mid(14 * 8, 8), QByteArray("0007ffe0"));
    QCOMPARE(all.mid(15 * 8, 8), QByteArray("00080000")); // sp is the supervisor's
    QCOMPARE(all.mid(16 * 8, 8), QByteArray("00002700"));
    QCOMPARE(all.mid(17 * 8, 8), QByteArray("00001234"));
    // G: the status register first, so that sp goes to the stack it selects.
    QByteArray changed = all;
    changed.replace(15 * 8, 8, "00002000");
    changed.replace(16 * 8, 8, "00000004");
    QCOMPARE(Ask(session, "G" + changed), QByteArray("OK"));
    QVERIFY(session.changed);
    QCOMPARE(r.usp, 0x2000u);
    QCOMPARE(r.ssp, 0x80000u);
    QCOMPARE(r.sr, 0x0004u);
    // p and P by number; sr keeps only its real bits.
    QCOMPARE(Ask(session, "P10=ffffffff"), QByteArray("OK"));
    QCOMPARE(Ask(session, "p10"), QByteArray("0000a71f"));
    QCOMPARE(Ask(session, "P8=00abcdef"), QByteArray("OK"));
    QCOMPARE(r.a[0], 0xABCDEFu);
    QCOMPARE(Ask(session, "p12"), QByteArray("E02"));
    QCOMPARE(Ask(session, "P12=00000000"), QByteArray("E02"));
    QCOMPARE(Ask(session, "P1=123"), QByteArray("E01"));
    QCOMPARE(Ask(session, "px"), QByteArray("E01"));
    // Memory: hexadecimal and escaped binary writes, reads cut at the end of the 16 MiB.
    QCOMPARE(Ask(session, "M2000,3:0a0B0c"), QByteArray("OK"));
    QCOMPARE(Ask(session, "m2000,3"), QByteArray("0a0b0c"));
    const QByteArray escaped("X2004,4:}\x03}\x04}]*", 15);
    QCOMPARE(Ask(session, escaped), QByteArray("OK"));
    QCOMPARE(Ask(session, "m2004,4"), QByteArray("23247d2a"));
    QCOMPARE(Ask(session, "X2000,0:"), QByteArray("OK"));
    QCOMPARE(Ask(session, "mfffffe,10"), QByteArray("0000"));
    QCOMPARE(Ask(session, "m1000000,1"), QByteArray("E02"));
    QCOMPARE(Ask(session, "m0,4000").size(), GdbPacketReader::maximumPayload);
    // The keyboard area takes a debugger's writes, as the loaders'.
    QCOMPARE(Ask(session, "M400,1:41"), QByteArray("OK"));
    QCOMPARE(document.memory->Read(0x400, 8), 0x41u);
}

void GdbProtocolTest::rejectedPacketsWriteNothing()
{
    Session machine;
    Document& document = *machine.document;
    GdbSession session(&machine);
    const Register& r = *document.emulator->registers;
    const unsigned int d0 = r.d[0];
    const char* const refused[] = {
        "M2000,2:0a",         // fewer bytes than said
        "M2000,1:0a0b",       // more
        "M2000,1:zz",         // not hexadecimal
        "Mffffff,2:0102",     // past the end of the address space
        "M1000000,1:01",
        "M2000:01",           // no length
        "X2000,2:}",          // an escape with nothing after it
        "X2000,1:ab",
        "Xffffff,2:ab",
        "M,1:01",
        "M123456789,1:01",    // more than eight digits
        "G00",                // too short
    };
    for (const char* packet : refused) {
        const QByteArray reply = Ask(session, packet);
        QVERIFY2(reply.startsWith('E'), packet);
        QVERIFY2(!session.changed, packet);
    }
    for (unsigned int a = 0x1FFE; a < 0x2004; ++a)
        QCOMPARE(document.memory->Read(a, 8), 0u);
    QCOMPARE(document.memory->Read(0xFFFFFF, 8), 0u);
    QCOMPARE(document.memory->Read(0, 8), 0u);
    QCOMPARE(r.d[0], d0);
    // Commands that do not exist, and empty ones, get the empty reply.
    QCOMPARE(Ask(session, "Y12"), QByteArray());
    QCOMPARE(Ask(session, ""), QByteArray());
    QCOMPARE(Ask(session, "vFile:open:"), QByteArray());
    QCOMPARE(Ask(session, "Z5,1000,2"), QByteArray());
    QCOMPARE(Ask(session, "Z0,1000"), QByteArray("E01"));
    QCOMPARE(Ask(session, "Z0,1000000,2"), QByteArray("E02"));
    QCOMPARE(Ask(session, "Z2,1000,0"), QByteArray("E01"));
    QCOMPARE(Ask(session, "Z2,1000,10001"), QByteArray("E01"));
    QVERIFY(document.addressBreakpoints.isEmpty());
    QVERIFY(document.watchpoints.isEmpty());
    QByteArray reply;
    QCOMPARE(int(session.Handle("cxyz", &reply)), int(GdbSession::Reply));
    QCOMPARE(reply, QByteArray("E01"));
    QCOMPARE(int(session.Handle("C1ff;1000", &reply)), int(GdbSession::Reply));
    QCOMPARE(int(session.Handle("vCont;r1000,1002", &reply)), int(GdbSession::Reply));
    QCOMPARE(int(session.Handle("vCont;c:2", &reply)), int(GdbSession::Reply));
    QCOMPARE(reply, QByteArray("E01"));
}

void GdbProtocolTest::breakpointsBelongToTheClient()
{
    Session machine;
    Document& document = *machine.document;
    GdbSession session(&machine);
    // The user's own breakpoint stays when GDB inserts and removes one at the same place.
    document.AddAddressBreakpoint(0x2000);
    QCOMPARE(Ask(session, "Z0,2000,2"), QByteArray("OK"));
    QCOMPARE(Ask(session, "Z1,3000,2"), QByteArray("OK"));
    QCOMPARE(Ask(session, "Z0,4000,2"), QByteArray("OK"));
    QCOMPARE(document.addressBreakpoints.count(0x2000), 1);
    QVERIFY(document.addressBreakpoints.contains(0x3000));
    QCOMPARE(Ask(session, "z0,2000,2"), QByteArray("OK"));
    QCOMPARE(Ask(session, "z0,4000,2"), QByteArray("OK"));
    QVERIFY(document.addressBreakpoints.contains(0x2000));
    QVERIFY(!document.addressBreakpoints.contains(0x4000));
    // Watchpoints of the three kinds; a duplicate of the user's is not GDB's to take away.
    document.AddWatchpoint(Watchpoint(0x5000, 4, WatchWrite));
    QCOMPARE(Ask(session, "Z2,5000,4"), QByteArray("OK"));
    QCOMPARE(Ask(session, "Z3,6000,2"), QByteArray("OK"));
    QCOMPARE(Ask(session, "Z4,7000,1"), QByteArray("OK"));
    QCOMPARE(document.watchpoints.size(), 3);
    QCOMPARE(int(document.watchpoints.at(1).kind), int(WatchRead));
    QCOMPARE(int(document.watchpoints.at(2).kind), int(WatchAccess));
    QCOMPARE(Ask(session, "z3,6000,2"), QByteArray("OK"));
    QCOMPARE(document.watchpoints.size(), 2);
    // The client goes: what it set goes with it, the user's stays.
    session.End();
    QCOMPARE(document.addressBreakpoints, AddressBreakpointList() << 0x2000);
    QCOMPARE(document.watchpoints.size(), 1);
    QCOMPARE(document.watchpoints.first().address, 0x5000u);
}

void GdbProtocolTest::queriesAndTargetDescription()
{
    Session machine;
    GdbSession session(&machine);
    const QByteArray supported = Ask(session, "qSupported:multiprocess+;swbreak+;hwbreak+;xmlRegisters=i386");
    for (const char* feature : {"PacketSize=4000", "qXfer:features:read+", "swbreak+", "hwbreak+", "ReverseStep+",
                                "ReverseContinue+", "QStartNoAckMode+"})
        QVERIFY2(supported.split(';').contains(feature), feature);
    // The description read in small pieces is whole XML naming the 18 registers.
    QByteArray xml;
    for (int offset = 0;;) {
        const QByteArray part = Ask(session, "qXfer:features:read:target.xml:" + QByteArray::number(offset, 16) + ",40");
        QVERIFY(part.startsWith('m') || part.startsWith('l'));
        QVERIFY(part.size() <= 0x41);
        xml += part.mid(1);
        offset += part.size() - 1;
        if (part.startsWith('l'))
            break;
        QVERIFY(offset < 10000);
    }
    QVERIFY(xml.startsWith("<?xml"));
    QVERIFY(xml.contains("<feature name=\"org.gnu.gdb.m68k.core\">"));
    QCOMPARE(xml.count("<reg "), 18);
    QVERIFY(!xml.contains("fp0"));
    QCOMPARE(Ask(session, "qXfer:features:read:other.xml:0,100"), QByteArray("E00"));
    QCOMPARE(Ask(session, "qXfer:features:read:target.xml:ffff,100"), QByteArray("E01"));
    // One thread, and no other.
    QCOMPARE(Ask(session, "Hg2"), QByteArray("E01"));
    QCOMPARE(Ask(session, "T2"), QByteArray("E01"));
    QCOMPARE(Ask(session, "?"), QByteArray("T05thread:1;"));
    QVERIFY(session.acknowledging);
    QCOMPARE(Ask(session, "QStartNoAckMode"), QByteArray("OK"));
    QVERIFY(!session.acknowledging);
}

// A server on the compiled program, driven over a socket: forwards to breakpoints and a
// watchpoint, back through the history to each of them and to its start, and Ctrl-C in the
// endless loop that ends the program.
void GdbProtocolTest::runningForwardsAndBackwards()
{
    Session machine;
    Document& document = *machine.document;
    QVERIFY(LoadDebugged(document));
    const SymbolTable& symbols = *document.symbols;
    QVERIFY(symbols.Find(QStringLiteral("add")) && symbols.Find(QStringLiteral("counter")) && symbols.Find(QStringLiteral("done")));
    const unsigned int add = symbols.Find(QStringLiteral("add"))->address;
    const unsigned int counter = symbols.Find(QStringLiteral("counter"))->address;
    const QByteArray a = QByteArray::number(add, 16);
    const QByteArray done = QByteArray::number(symbols.Find(QStringLiteral("done"))->address, 16);
    const QByteArray watch = QByteArray::number(counter, 16) + ",4";
    GdbServer server(&machine);
    QSignalSpy stopped(&server, &GdbServer::Stopped);
    QString error;
    QVERIFY(server.Listen(QHostAddress::LocalHost, 0, &error));
    GdbTestClient client;
    QVERIFY(client.Connect(server.Port()));
    QVERIFY(client.WaitFor([&] { return server.IsConnected(); }));
    QCOMPARE(client.Ask("Z0," + a + ",2"), QByteArray("OK"));
    QCOMPARE(client.Ask("c"), QByteArray("T05thread:1;swbreak:;"));
    QCOMPARE(document.emulator->registers->pc, add);
    QCOMPARE(stopped.count(), 1);
    // Continuing from a breakpoint leaves it; the watchpoint stops after the write.
    QCOMPARE(client.Ask("z0," + a + ",2"), QByteArray("OK"));
    QCOMPARE(client.Ask("Z1," + a + ",2"), QByteArray("OK"));
    QCOMPARE(client.Ask("Z2," + watch), QByteArray("OK"));
    QCOMPARE(client.Ask("vCont;c:1"), "T05thread:1;watch:" + QByteArray::number(counter, 16).rightJustified(8, '0') + ";");
    QCOMPARE(document.memory->Read(counter, 32), 12u);
    QCOMPARE(client.Ask("z2," + watch), QByteArray("OK"));
    QCOMPARE(client.Ask("Z0," + done + ",2"), QByteArray("OK"));
    QCOMPARE(client.Ask("c"), QByteArray("T05thread:1;swbreak:;"));
    QCOMPARE(client.Ask("z0," + done + ",2"), QByteArray("OK"));
    QCOMPARE(document.memory->Read(counter, 32), 36u);
    // Backwards: one step, then back to before the last write of the watched global.
    const int history = document.emulator->undoList.items.count();
    QCOMPARE(client.Ask("bs"), QByteArray("T05thread:1;"));
    QCOMPARE(document.emulator->undoList.items.count(), history - 1);
    // Registers written by the client come back with the step before them.
    const QByteArray registers = client.Ask("g");
    QCOMPARE(client.Ask("bs"), QByteArray("T05thread:1;"));
    const QByteArray earlier = client.Ask("g");
    QCOMPARE(client.Ask("s"), QByteArray("T05thread:1;"));
    QCOMPARE(client.Ask("g"), registers);
    QCOMPARE(client.Ask("P5=12345678"), QByteArray("OK"));
    QCOMPARE(client.Ask("Pc=00abcdef"), QByteArray("OK"));
    QCOMPARE(client.Ask("bs"), QByteArray("T05thread:1;"));
    QCOMPARE(client.Ask("g"), earlier);
    QCOMPARE(client.Ask("s"), QByteArray("T05thread:1;"));
    QCOMPARE(client.Ask("g"), registers);
    QCOMPARE(client.Ask("Z2," + watch), QByteArray("OK"));
    QCOMPARE(client.Ask("bc"), "T05thread:1;watch:" + QByteArray::number(counter, 16).rightJustified(8, '0') + ";");
    QCOMPARE(document.memory->Read(counter, 32), 12u);
    QCOMPARE(client.Ask("z2," + watch), QByteArray("OK"));
    // Back to the hardware breakpoint, then to the start of the history: the reset state.
    QCOMPARE(client.Ask("bc"), QByteArray("T05thread:1;hwbreak:;"));
    QCOMPARE(document.emulator->registers->pc, add);
    QCOMPARE(client.Ask("z1," + a + ",2"), QByteArray("OK"));
    QCOMPARE(client.Ask("bc"), QByteArray("T05thread:1;replaylog:begin;"));
    QVERIFY(document.emulator->undoList.items.isEmpty());
    QCOMPARE(document.memory->Read(counter, 32), 0u);
    QCOMPARE(client.Ask("bs"), QByteArray("T05thread:1;replaylog:begin;"));
    QCOMPARE(client.Ask("s"), QByteArray("T05thread:1;"));
    QCOMPARE(document.emulator->undoList.items.count(), 1);
    // The program ends in a loop on itself: only Ctrl-C stops it.
    client.Send(GdbSession::Frame("c"));
    QVERIFY(client.WaitFor([&] { return server.IsRunning(); }));
    client.Send("\x03");
    QCOMPARE(client.Packet(), QByteArray("T02thread:1;"));
    QVERIFY(!server.IsRunning());
    QCOMPARE(client.Ask("?"), QByteArray("T02thread:1;"));
    const unsigned int pc = document.emulator->registers->pc;
    // A detach leaves the machine as it is.
    QSignalSpy disconnected(&server, &GdbServer::Disconnected);
    QCOMPARE(client.Ask("D"), QByteArray("OK"));
    QVERIFY(client.WaitFor([&] { return disconnected.count() == 1; }));
    QCOMPARE(disconnected.first().first().toBool(), true);
    QVERIFY(document.addressBreakpoints.isEmpty());
    QCOMPARE(document.emulator->registers->pc, pc);
}

void GdbProtocolTest::serverSurvivesMisbehavingClients()
{
    Session machine;
    Document& document = *machine.document;
    QVERIFY(LoadDebugged(document));
    GdbServer server(&machine);
    QString error;
    QVERIFY(server.Listen(QHostAddress::LocalHost, 0, &error));
    // The port is taken: a second server says so.
    GdbServer other(&machine);
    QVERIFY(!other.Listen(QHostAddress::LocalHost, server.Port(), &error));
    QVERIFY(error.startsWith(QStringLiteral("Impossible d'écouter sur 127.0.0.1:")));

    GdbTestClient first;
    QVERIFY(first.Connect(server.Port()));
    QVERIFY(first.WaitFor([&] { return server.IsConnected(); }));
    // A second client is turned away while the first is served.
    GdbTestClient second;
    QVERIFY(second.Connect(server.Port()));
    QVERIFY(second.WaitFor([&] { return second.socket.state() == QAbstractSocket::UnconnectedState; }));
    // A bad checksum is refused, an overlong packet answered with an error; then on as usual.
    first.Send("$g#00");
    QVERIFY(first.WaitFor([&] { return first.received.contains('-'); }));
    first.received.clear();
    first.Send("$M2000,1:" + QByteArray(GdbPacketReader::maximumPayload, '0') + "#00");
    QCOMPARE(first.Packet(), QByteArray("E01"));
    QCOMPARE(document.memory->Read(0x2000, 8), 0u);
    QCOMPARE(first.Ask("m2000,1"), QByteArray("00"));
    // Gone in the middle of a run with a breakpoint set: the run stops, the breakpoint goes.
    QCOMPARE(first.Ask("Z0,3000,2"), QByteArray("OK"));
    first.Send(GdbSession::Frame("c"));
    QVERIFY(first.WaitFor([&] { return server.IsRunning(); }));
    // Packets sent during the run wait for its end; none is lost or answered early.
    first.Send(GdbSession::Frame("m2000,1"));
    first.socket.abort();
    QVERIFY(first.WaitFor([&] { return !server.IsConnected(); }));
    QVERIFY(!server.IsRunning());
    QVERIFY(document.addressBreakpoints.isEmpty());
    // The next client is served, with acknowledgements again.
    GdbTestClient third;
    QVERIFY(third.Connect(server.Port()));
    QVERIFY(third.WaitFor([&] { return server.IsConnected(); }));
    QCOMPARE(third.Ask("?"), QByteArray("T05thread:1;"));
    QVERIFY(third.received.isEmpty() || !third.received.contains('$'));
    // A run that a stray packet follows: it is answered after the stop reply.
    third.Send(GdbSession::Frame("c") + GdbSession::Frame("m2000,1"));
    QVERIFY(third.WaitFor([&] { return server.IsRunning(); }));
    third.Send("\x03");
    QCOMPARE(third.Packet(), QByteArray("T02thread:1;"));
    QCOMPARE(third.Packet(), QByteArray("00"));
    QSignalSpy disconnected(&server, &GdbServer::Disconnected);
    third.Send(GdbSession::Frame("k"));
    QVERIFY(third.WaitFor([&] { return disconnected.count() == 1; }));
    server.Close();
    QVERIFY(!server.IsListening());
}

// A client that sends reads and never reads the replies: past a bound of replies waiting to
// go out, the server leaves its packets unread, so that neither the replies nor the packets
// held grow with what the client sends. Once the client reads, every reply comes, whole and
// in the order asked.
void GdbProtocolTest::unreadRepliesHoldThePacketsBack()
{
    Session machine;
    Memory& memory = *machine.document->memory;
    // Bytes that make each read's reply its own.
    for (unsigned int a = 0; a < 0x20000; ++a)
        memory.Write(0x10000 + a, (a * 0x9E3779B1u) >> 24, 8, true);
    GdbServer server(&machine);
    QString error;
    QVERIFY(server.Listen(QHostAddress::LocalHost, 0, &error));
    GdbTestClient client;
    QVERIFY(client.Connect(server.Port()));
    // Small, so that the system holds few replies; not below the loopback's segment size,
    // under which the system sends by its timers only.
    client.socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 0x10000);
    QList<QByteArray> expected;
    auto sendReads = [&](int count) {
        QByteArray packets;
        for (int i = 0; i < count; ++i) {
            const unsigned int address = 0x10000 + unsigned(expected.size()) * 0x35 % 0x10000;
            const unsigned int length = 0x2000 - unsigned(expected.size() % 3);
            packets += GdbSession::Frame("m" + QByteArray::number(address, 16) + "," + QByteArray::number(length, 16));
            QByteArray bytes;
            for (unsigned int j = 0; j < length; ++j)
                bytes.append(char(memory.Read(address + j, 8)));
            expected << bytes.toHex();
        }
        client.Send(packets);
    };
    // Held at most: the bound, then the acknowledgement and the largest reply of the packet
    // handled under it.
    const qint64 mostUnsentAllowed = GdbServer::maximumUnsent + 1 + GdbPacketReader::maximumPayload + 4;
    qint64 mostUnsent = 0;
    qint64 mostUnread = 0;
    // The event loop without the client reading.
    auto turn = [&](int times) {
        for (int i = 0; i < times; ++i) {
            QCoreApplication::processEvents();
            mostUnsent = std::max(mostUnsent, server.UnsentBytes());
            mostUnread = std::max(mostUnread, server.UnreadBytes());
        }
    };
    // The system's buffers take a few megabytes of replies before the socket's own fills.
    while (server.UnsentBytes() <= GdbServer::maximumUnsent && expected.size() < 5000) {
        sendReads(50);
        turn(10);
    }
    QVERIFY2(server.UnsentBytes() > GdbServer::maximumUnsent, qPrintable(QString::number(expected.size())));
    // Many more reads, and writes whose packets are long: the server holds them unread, and
    // neither its replies nor what it holds grow.
    sendReads(300);
    QByteArray writes;
    for (int i = 0; i < 40; ++i) {
        writes += GdbSession::Frame("M40000,800:" + QByteArray(0x1000, char('a' + i % 6)));
        expected << "OK";
    }
    client.Send(writes);
    sendReads(300);
    turn(200);
    QVERIFY2(mostUnsent <= mostUnsentAllowed, qPrintable(QString::number(mostUnsent)));
    QVERIFY(server.UnreadBytes() > 0);
    QVERIFY2(mostUnread <= GdbServer::maximumUnread + 0x1000, qPrintable(QString::number(mostUnread)));
    QVERIFY(server.IsConnected());

    // The client reads: each reply acknowledged and framed, in the order of the reads.
    int position = 0;
    int replies = 0;
    QByteArray wrong;
    auto parse = [&] {
        const QByteArray& r = client.received;
        for (int hash; wrong.isEmpty() && (hash = r.indexOf('#', position)) >= 0 && hash + 2 < r.size();) {
            const QByteArray framed = r.mid(position, hash + 3 - position);
            if (replies >= expected.size() || framed != "+" + GdbSession::Frame(expected.at(replies)))
                wrong = QByteArray::number(replies) + ": " + framed.left(40);
            position = hash + 3;
            ++replies;
        }
        return !wrong.isEmpty() || replies == expected.size();
    };
    QVERIFY(client.WaitFor(parse, 60000));
    QVERIFY2(wrong.isEmpty(), wrong.constData());
    QCOMPARE(client.received.size(), position);
    QCOMPARE(memory.Read(0x407FF, 8), 0xDDu); // the last write's
    QCOMPARE(server.UnsentBytes(), 0);
    QCOMPARE(server.UnreadBytes(), 0);
    client.received.clear();
    QCOMPARE(client.Ask("?"), QByteArray("T05thread:1;"));
}

// A client that comes back right after it left is served, however it left: the server may
// take the new connection before it reads the end of the old one. Of those that connect
// while a client stays, the last waits, and what it sent meanwhile is answered once that
// client goes; the one before it, and one that gives up, take nobody's place.
void GdbProtocolTest::clientsComingBackAtOnceAreServed()
{
    Session machine;
    GdbServer server(&machine);
    QString error;
    QVERIFY(server.Listen(QHostAddress::LocalHost, 0, &error));
    QSignalSpy disconnected(&server, &GdbServer::Disconnected);
    auto previous = std::make_unique<GdbTestClient>();
    QVERIFY(previous->Connect(server.Port()));
    QCOMPARE(previous->Ask("?"), QByteArray("T05thread:1;"));
    for (int cycle = 0; cycle < 25; ++cycle) {
        auto next = std::make_unique<GdbTestClient>();
        const bool waited = cycle % 5 == 4;
        switch (cycle % 5) {
        case 0:
            previous->socket.disconnectFromHost();
            break;
        case 1:
            previous->socket.abort();
            break;
        case 2:
            // Gone with a packet whose reply it will not read.
            previous->Send(GdbSession::Frame("m0,2000"));
            previous->socket.close();
            break;
        case 3: {
            // One waits, and gives up before this one goes.
            GdbTestClient quitter;
            QVERIFY(quitter.Connect(server.Port()));
            QCOMPARE(previous->Ask("m0,1"), QByteArray("00"));
            quitter.socket.abort();
            QCOMPARE(previous->Ask("m0,1"), QByteArray("00"));
            previous->socket.disconnectFromHost();
            QVERIFY(previous->WaitFor([&] { return !server.IsConnected(); }));
            break;
        }
        default: {
            GdbTestClient quitter;
            QVERIFY(quitter.Connect(server.Port()));
            QCOMPARE(previous->Ask("m0,1"), QByteArray("00"));
            QVERIFY(next->Connect(server.Port()));
            next->Send(GdbSession::Frame("?"));
            quitter.socket.abort();
            // The server's loop turns: the waiting client's packet is read, not answered.
            QCOMPARE(previous->Ask("m0,1"), QByteArray("00"));
            QCOMPARE(next->socket.bytesAvailable(), 0);
            previous->socket.disconnectFromHost();
            QVERIFY2(next->Packet() == "T05thread:1;", qPrintable(QString::number(cycle)));
            break;
        }
        }
        // Connected before the server's loop runs again: both the end and the arrival wait.
        if (!waited)
            QVERIFY(next->Connect(server.Port()));
        QVERIFY2(next->Ask("?") == "T05thread:1;", qPrintable(QString::number(cycle)));
        QCOMPARE(next->Ask("m0,1"), QByteArray("00"));
        QVERIFY(server.IsConnected());
        previous = std::move(next);
    }
    QCOMPARE(disconnected.count(), 25);
}

// Where the server listens, as GDB's target command takes it, brackets around an IPv6
// address; the reason it cannot, in French, the system's own words after it; and a warning
// for every address but a loopback one.
void GdbProtocolTest::addressesShownAndRefusalsExplained()
{
    Session machine;
    GdbServer server(&machine);
    QString error;
    QVERIFY(server.Listen(QHostAddress::LocalHostIPv6, 0, &error));
    const QString port = QString::number(server.Port());
    QCOMPARE(server.Where(), QStringLiteral("[::1]:") + port);
    QVERIFY(server.ExposureWarning().isEmpty());
    GdbTestClient client;
    client.socket.connectToHost(QHostAddress::LocalHostIPv6, server.Port());
    QVERIFY(client.socket.waitForConnected(5000));
    QCOMPARE(client.Ask("?"), QByteArray("T05thread:1;"));

    GdbServer other(&machine);
    const struct {
        QHostAddress address;
        quint16 port;
        QString message;
    } refused[] = {
        {QHostAddress::LocalHostIPv6, server.Port(),
         QStringLiteral("Impossible d'écouter sur [::1]:%1 : ce port est déjà pris sur cette adresse (").arg(port)},
        {QHostAddress(QStringLiteral("192.0.2.1")), 0,
         QStringLiteral("Impossible d'écouter sur 192.0.2.1:0 : cette adresse n'est celle d'aucune interface de cette machine (")},
    };
    for (const auto& r : refused) {
        QVERIFY(!other.Listen(r.address, r.port, &error));
        QVERIFY2(error.startsWith(r.message) && error.endsWith(QLatin1Char(')')), qPrintable(error));
        // Only the system's words are English, after the French ones.
        QVERIFY2(error.indexOf(QLatin1Char('(')) == r.message.size() - 1, qPrintable(error));
    }
    QVERIFY(!other.IsListening());

    const struct {
        QHostAddress address;
        const char* shown;
    } exposed[] = {{QHostAddress::AnyIPv4, "0.0.0.0:"}, {QHostAddress::AnyIPv6, "[::]:"}};
    for (const auto& e : exposed) {
        QVERIFY(other.Listen(e.address, 0, &error));
        const QString where = QString::fromLatin1(e.shown) + QString::number(other.Port());
        QCOMPARE(other.Where(), where);
        QCOMPARE(other.ExposureWarning(),
                 QStringLiteral("Attention : le serveur GDB écoute sur %1, toute machine du réseau qui le joint peut "
                                "lire et écrire la mémoire et les registres").arg(where));
        other.Close();
        QVERIFY(other.ExposureWarning().isEmpty());
    }
    QVERIFY(other.Listen(QHostAddress::LocalHost, 0, &error));
    QVERIFY(other.ExposureWarning().isEmpty());
}

// The runner's keys: pause() comes between instructions at the counts that it gives, in steps
// and runs alike, and a run paused in its middle goes on to its breakpoint.
void GdbProtocolTest::pausesForTheRunnersKeys()
{
    Session machine;
    Document& document = *machine.document;
    QVERIFY(LoadDebugged(document));
    QVERIFY(document.symbols->Find(QStringLiteral("add")));
    const unsigned int add = document.symbols->Find(QStringLiteral("add"))->address;
    // The instructions from reset to add, counted beforehand.
    long long toAdd = 0;
    {
        Document copy;
        QVERIFY(LoadDebugged(copy));
        while (copy.emulator->registers->pc != add) {
            copy.emulator->QuickExecute();
            ++toAdd;
        }
    }
    GdbServer server(&machine);
    QList<long long> pauses;
    Emulator* emulator = document.emulator;
    machine.SetPause(3, [&] {
        pauses << emulator->undoList.items.count();
        return pauses.size() < 3 ? 10 : -1;
    });
    QString error;
    QVERIFY(server.Listen(QHostAddress::LocalHost, 0, &error));
    GdbTestClient client;
    QVERIFY(client.Connect(server.Port()));
    QCOMPARE(client.Ask("s"), QByteArray("T05thread:1;"));
    QCOMPARE(client.Ask("s"), QByteArray("T05thread:1;"));
    QVERIFY(pauses.isEmpty());
    QCOMPARE(client.Ask("s"), QByteArray("T05thread:1;"));
    QCOMPARE(pauses, QList<long long>{3});
    QCOMPARE(client.Ask("Z0," + QByteArray::number(add, 16) + ",2"), QByteArray("OK"));
    QCOMPARE(client.Ask("c"), QByteArray("T05thread:1;swbreak:;"));
    QCOMPARE(pauses, (QList<long long>{3, 13, 23}));
    QCOMPARE(emulator->undoList.items.count(), int(toAdd));
}

QTEST_GUILESS_MAIN(GdbProtocolTest)
#include "tst_gdbprotocol.moc"
