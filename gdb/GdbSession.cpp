#include "gdb/GdbSession.h"

#include "session/Document.h"
#include "core/Emulator.h"
#include "core/Hex.h"
#include "core/Memory.h"
#include "core/Register.h"
#include "session/Session.h"
#include "gdb/GdbPacketReader.h"

namespace {

constexpr int registerCount = 18;
constexpr unsigned int addressSpace = 0x1000000;
// The longest read answered: its reply fills the packet size that GDB was given.
constexpr unsigned int readLimit = GdbPacketReader::maximumPayload / 2;

// Signals of the stop replies, as GDB numbers them.
constexpr int sigInt = 2;
constexpr int sigIll = 4;
constexpr int sigTrap = 5;
constexpr int sigAbrt = 6;
constexpr int sigBus = 10;

const char targetXml[] = R"(<?xml version="1.0"?>
<!DOCTYPE target SYSTEM "gdb-target.dtd">
<target version="1.0">
  <architecture>m68k:68000</architecture>
  <feature name="org.gnu.gdb.m68k.core">
    <reg name="d0" bitsize="32"/>
    <reg name="d1" bitsize="32"/>
    <reg name="d2" bitsize="32"/>
    <reg name="d3" bitsize="32"/>
    <reg name="d4" bitsize="32"/>
    <reg name="d5" bitsize="32"/>
    <reg name="d6" bitsize="32"/>
    <reg name="d7" bitsize="32"/>
    <reg name="a0" bitsize="32" type="data_ptr"/>
    <reg name="a1" bitsize="32" type="data_ptr"/>
    <reg name="a2" bitsize="32" type="data_ptr"/>
    <reg name="a3" bitsize="32" type="data_ptr"/>
    <reg name="a4" bitsize="32" type="data_ptr"/>
    <reg name="a5" bitsize="32" type="data_ptr"/>
    <reg name="fp" bitsize="32" type="data_ptr"/>
    <reg name="sp" bitsize="32" type="data_ptr"/>
    <reg name="ps" bitsize="32"/>
    <reg name="pc" bitsize="32" type="code_ptr"/>
  </feature>
</target>
)";

// One to eight hexadecimal digits, nothing else.
bool ParseHex(const QByteArray& text, unsigned int* value)
{
    if (text.isEmpty() || text.size() > 8)
        return false;
    unsigned int v = 0;
    for (const char c : text) {
        const int digit = Hex::Digit(c);
        if (digit < 0)
            return false;
        v = v << 4 | unsigned(digit);
    }
    *value = v;
    return true;
}

// "address,length" with both in hexadecimal.
bool ParseRange(const QByteArray& text, unsigned int* address, unsigned int* length)
{
    const int comma = text.indexOf(',');
    return comma > 0 && ParseHex(text.left(comma), address) && ParseHex(text.mid(comma + 1), length);
}

QByteArray Signal(int number)
{
    QByteArray reply("T");
    Hex::Append(reply, unsigned(number), 2, Hex::Case::Lower);
    return reply + "thread:1;";
}

// Binary data of a reply: the framing characters escaped.
QByteArray Escape(const QByteArray& data)
{
    QByteArray out;
    out.reserve(data.size());
    for (const char c : data) {
        if (c == '$' || c == '#' || c == '}' || c == '*') {
            out.append('}');
            out.append(char(c ^ 0x20));
        } else {
            out.append(c);
        }
    }
    return out;
}

const QByteArray error01("E01"); // malformed
const QByteArray error02("E02"); // outside the address space or the registers
const QByteArray ok("OK");

} // namespace

GdbSession::GdbSession(Session* target)
    : target(target), document(target->document), lastStop(Signal(sigTrap))
{
}

void GdbSession::Begin()
{
    acknowledging = true;
    changed = false;
    lastStop = Signal(sigTrap);
    breakpointKinds.clear();
    addedBreakpoints.clear();
    clientWatchpoints.clear();
    addedWatchpoints.clear();
}

void GdbSession::End()
{
    for (const unsigned int address : qAsConst(addedBreakpoints))
        document->RemoveAddressBreakpoint(address);
    for (const Watchpoint& w : qAsConst(addedWatchpoints))
        Remove(document->watchpoints, w);
    Begin();
}

bool GdbSession::Remove(QList<Watchpoint>& list, const Watchpoint& watchpoint)
{
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i).SameRange(watchpoint)) {
            list.removeAt(i);
            return true;
        }
    }
    return false;
}

QByteArray GdbSession::Frame(const QByteArray& payload)
{
    unsigned int sum = 0;
    for (const char c : payload)
        sum += static_cast<unsigned char>(c);
    QByteArray out;
    out.reserve(payload.size() + 4);
    out.append('$');
    out.append(payload);
    out.append('#');
    Hex::Append(out, sum & 0xFF, 2, Hex::Case::Lower);
    return out;
}

QByteArray GdbSession::ConsoleOutput(const QString& text)
{
    QString line = text;
    line.replace(QChar(0x2028), QLatin1Char(' '));
    return "O" + (line + QLatin1Char('\n')).toUtf8().toHex();
}

GdbSession::Action GdbSession::Handle(const QByteArray& payload, QByteArray* reply)
{
    changed = false;
    console.clear();
    reply->clear();
    if (payload.isEmpty())
        return Reply;
    const QByteArray arguments = payload.mid(1);
    switch (payload.at(0)) {
    case '?':
        *reply = lastStop;
        break;
    case 'g':
        *reply = ReadRegisters();
        break;
    case 'G':
        *reply = WriteRegisters(arguments);
        break;
    case 'p':
        *reply = ReadRegister(arguments);
        break;
    case 'P':
        *reply = WriteRegister(arguments);
        break;
    case 'm':
        *reply = ReadMemory(arguments);
        break;
    case 'M':
        *reply = WriteMemory(arguments, false);
        break;
    case 'X':
        *reply = WriteMemory(arguments, true);
        break;
    case 'Z':
    case 'z':
        *reply = Breakpoint(arguments, payload.at(0) == 'Z');
        break;
    case 'c':
        return Continue(arguments, false, false, reply);
    case 's':
        return Continue(arguments, true, false, reply);
    case 'C':
        return Continue(arguments, false, true, reply);
    case 'S':
        return Continue(arguments, true, true, reply);
    case 'b':
        if (payload == "bc") {
            resumeMode = ReverseRunMode;
            return Resume;
        }
        if (payload == "bs") {
            *reply = StepBack();
            lastStop = *reply;
            return Reply;
        }
        break;
    case 'H':
        // One thread: it may be selected under any of its names.
        if (arguments.size() >= 2 && (arguments.mid(1) == "0" || arguments.mid(1) == "-1" || arguments.mid(1) == "1"))
            *reply = ok;
        else
            *reply = error01;
        break;
    case 'T':
        *reply = arguments == "1" ? ok : error01;
        break;
    case 'k':
        return Kill;
    case 'D':
        *reply = ok;
        return Detach;
    case 'q':
    case 'Q':
        *reply = Query(payload);
        break;
    case 'v':
        if (payload == "vCont?") {
            *reply = "vCont;c;C;s;S";
        } else if (payload.startsWith("vCont;")) {
            return ContinueActions(payload.mid(6), reply);
        } else if (payload.startsWith("vKill")) {
            *reply = ok;
            return Kill;
        }
        break;
    default:
        break;
    }
    return Reply;
}

QByteArray GdbSession::Query(const QByteArray& payload)
{
    if (payload.startsWith("qSupported"))
        return "PacketSize=" + QByteArray::number(GdbPacketReader::maximumPayload, 16)
            + ";qXfer:features:read+;swbreak+;hwbreak+;ReverseStep+;ReverseContinue+;QStartNoAckMode+";
    if (payload == "QStartNoAckMode") {
        acknowledging = false;
        return ok;
    }
    if (payload.startsWith("qXfer:features:read:"))
        return Features(payload.mid(20));
    if (payload == "qAttached" || payload.startsWith("qAttached:"))
        return "1";
    if (payload == "qC")
        return "QC1";
    if (payload == "qfThreadInfo")
        return "m1";
    if (payload == "qsThreadInfo")
        return "l";
    if (payload == "qThreadExtraInfo,1")
        return QByteArray("68000").toHex();
    if (payload == "qSymbol::")
        return ok;
    if (payload.startsWith("qRcmd,"))
        return Monitor(payload.mid(6));
    return QByteArray();
}

// GDB's "monitor" commands, hex-encoded: their text goes to GDB's console, then OK.
QByteArray GdbSession::Monitor(const QByteArray& hexCommand)
{
    const QString command = QString::fromUtf8(QByteArray::fromHex(hexCommand)).simplified();
    Emulator* emulator = document->emulator;
    if (command == QLatin1String("cycles")) {
        console << ConsoleOutput(QStringLiteral("%1 cycles d'horloge depuis la dernière remise à zéro").arg(emulator->Cycles()));
    } else if (command == QLatin1String("cycles reset")) {
        emulator->ResetCycles();
        console << ConsoleOutput(QStringLiteral("Compteur de cycles remis à zéro"));
    } else if (command == QLatin1String("help")) {
        console << ConsoleOutput(QStringLiteral("monitor cycles : les cycles d'horloge comptés depuis la réinitialisation "
                                                "ou la dernière remise à zéro"))
                << ConsoleOutput(QStringLiteral("monitor cycles reset : remettre le compteur de cycles à zéro"))
                << ConsoleOutput(QStringLiteral("monitor help : cette aide"));
    } else {
        console << ConsoleOutput(QStringLiteral("Commande inconnue : « %1 » (monitor help donne la liste)").arg(command));
    }
    return ok;
}

// "target.xml:offset,length": the part of the description asked for, "m" before more, "l"
// for the last.
QByteArray GdbSession::Features(const QByteArray& request) const
{
    const int colon = request.indexOf(':');
    unsigned int offset = 0;
    unsigned int length = 0;
    if (colon < 0 || request.left(colon) != "target.xml")
        return "E00";
    if (!ParseRange(request.mid(colon + 1), &offset, &length))
        return error01;
    const QByteArray xml(targetXml);
    if (offset > unsigned(xml.size()))
        return error01;
    const QByteArray part = xml.mid(int(offset), int(std::min(length, readLimit)));
    const bool last = offset + unsigned(part.size()) >= unsigned(xml.size());
    return (last ? "l" : "m") + Escape(part);
}

unsigned int GdbSession::RegisterValue(int number) const
{
    const Register& r = *document->emulator->registers;
    if (number < 8)
        return r.d[number];
    if (number < 15)
        return r.a[number - 8];
    switch (number) {
    case 15: return r.A7();
    case 16: return r.sr;
    default: return r.pc;
    }
}

void GdbSession::SetRegister(int number, unsigned int value)
{
    document->emulator->EditingRegisters();
    Register& r = *document->emulator->registers;
    if (number < 8)
        r.d[number] = value;
    else if (number < 15)
        r.a[number - 8] = value;
    else if (number == 15)
        r.A7() = value;
    else if (number == 16)
        r.sr = value & Register::srMask;
    else
        r.pc = value;
    changed = true;
}

QByteArray GdbSession::ReadRegisters() const
{
    QByteArray reply;
    reply.reserve(registerCount * 8);
    for (int i = 0; i < registerCount; ++i)
        Hex::Append(reply, RegisterValue(i), 8, Hex::Case::Lower);
    return reply;
}

QByteArray GdbSession::WriteRegisters(const QByteArray& data)
{
    if (data.size() != registerCount * 8)
        return error01;
    unsigned int values[registerCount];
    for (int i = 0; i < registerCount; ++i) {
        if (!ParseHex(data.mid(i * 8, 8), &values[i]))
            return error01;
    }
    // The status register first: it says which stack pointer sp is.
    SetRegister(16, values[16]);
    for (int i = 0; i < registerCount; ++i) {
        if (i != 16)
            SetRegister(i, values[i]);
    }
    return ok;
}

QByteArray GdbSession::ReadRegister(const QByteArray& arguments) const
{
    unsigned int number = 0;
    if (!ParseHex(arguments, &number))
        return error01;
    if (number >= unsigned(registerCount))
        return error02;
    QByteArray reply;
    Hex::Append(reply, RegisterValue(int(number)), 8, Hex::Case::Lower);
    return reply;
}

QByteArray GdbSession::WriteRegister(const QByteArray& arguments)
{
    const int equal = arguments.indexOf('=');
    unsigned int number = 0;
    unsigned int value = 0;
    if (equal <= 0 || !ParseHex(arguments.left(equal), &number) || arguments.size() - equal - 1 != 8
        || !ParseHex(arguments.mid(equal + 1), &value))
        return error01;
    if (number >= unsigned(registerCount))
        return error02;
    SetRegister(int(number), value);
    return ok;
}

// What lies past the end of the 16 MiB is not there: a read that runs over it is cut short,
// one that starts beyond it fails.
QByteArray GdbSession::ReadMemory(const QByteArray& arguments) const
{
    unsigned int address = 0;
    unsigned int length = 0;
    if (!ParseRange(arguments, &address, &length) || length == 0)
        return error01;
    if (address >= addressSpace)
        return error02;
    length = std::min({length, readLimit, addressSpace - address});
    QByteArray reply;
    reply.reserve(int(2 * length));
    for (unsigned int i = 0; i < length; ++i)
        Hex::Append(reply, document->memory->Read(address + i, 8), 2, Hex::Case::Lower);
    return reply;
}

// "address,length:data", hexadecimal or escaped binary: all of it checked before a byte is
// written, and all of it inside the address space.
QByteArray GdbSession::WriteMemory(const QByteArray& arguments, bool binary)
{
    const int colon = arguments.indexOf(':');
    unsigned int address = 0;
    unsigned int length = 0;
    if (colon <= 0 || !ParseRange(arguments.left(colon), &address, &length))
        return error01;
    const QByteArray data = arguments.mid(colon + 1);
    QByteArray bytes;
    if (binary) {
        for (int i = 0; i < data.size(); ++i) {
            char c = data.at(i);
            if (c == '}') {
                if (++i == data.size())
                    return error01;
                c = char(data.at(i) ^ 0x20);
            }
            bytes.append(c);
        }
    } else {
        if (data.size() % 2 != 0)
            return error01;
        bytes = QByteArray::fromHex(data);
        for (const char c : data) {
            if (Hex::Digit(c) < 0)
                return error01;
        }
    }
    if (unsigned(bytes.size()) != length)
        return error01;
    if (length == 0)
        return ok;
    if (address >= addressSpace || length > addressSpace - address)
        return error02;
    for (unsigned int i = 0; i < length; ++i)
        document->memory->Write(address + i, static_cast<unsigned char>(bytes.at(int(i))), 8, true);
    changed = true;
    return ok;
}

// "type,address,kind": 0 and 1 are breakpoints (kind is the instruction's length), 2 to 4
// are write, read and access watchpoints (kind is the length watched).
QByteArray GdbSession::Breakpoint(const QByteArray& arguments, bool insert)
{
    const QList<QByteArray> fields = arguments.split(',');
    unsigned int type = 0;
    unsigned int address = 0;
    unsigned int kind = 0;
    if (fields.size() != 3 || !ParseHex(fields.at(0), &type) || !ParseHex(fields.at(1), &address)
        || !ParseHex(fields.at(2), &kind))
        return error01;
    if (type > 4)
        return QByteArray();
    if (address >= addressSpace)
        return error02;
    if (type <= 1) {
        if (insert) {
            if (!breakpointKinds.contains(address) && !document->addressBreakpoints.contains(address)) {
                document->AddAddressBreakpoint(address);
                addedBreakpoints.insert(address);
            }
            breakpointKinds.insert(address, char('0' + type));
        } else {
            breakpointKinds.remove(address);
            if (addedBreakpoints.remove(address))
                document->RemoveAddressBreakpoint(address);
        }
        changed = true;
        return ok;
    }
    if (kind < 1 || kind > Watchpoint::maximumLength)
        return error01;
    static const WatchKind kinds[] = {WatchWrite, WatchRead, WatchAccess};
    const Watchpoint watchpoint(address, kind, kinds[type - 2]);
    if (insert) {
        if (!Remove(clientWatchpoints, watchpoint) && document->AddWatchpoint(watchpoint))
            addedWatchpoints.append(watchpoint);
        clientWatchpoints.append(watchpoint);
    } else if (Remove(clientWatchpoints, watchpoint) && Remove(addedWatchpoints, watchpoint)) {
        Remove(document->watchpoints, watchpoint);
    }
    changed = true;
    return ok;
}

// "c", "s", "caddress", "Csignal;address": the signal is not delivered, there is no
// operating system to take it.
GdbSession::Action GdbSession::Continue(const QByteArray& arguments, bool step, bool withSignal, QByteArray* reply)
{
    QByteArray address = arguments;
    unsigned int value = 0;
    if (withSignal) {
        const int semicolon = arguments.indexOf(';');
        if (!ParseHex(semicolon < 0 ? arguments : arguments.left(semicolon), &value) || value > 0xFF) {
            *reply = error01;
            return Reply;
        }
        address = semicolon < 0 ? QByteArray() : arguments.mid(semicolon + 1);
    }
    if (!address.isEmpty()) {
        if (!ParseHex(address, &value)) {
            *reply = error01;
            return Reply;
        }
        document->emulator->registers->pc = value;
    }
    resumeMode = step ? ResumeStepMode : ResumeMode;
    return Resume;
}

// "c", "s:1;c", "C05:-1": the first action that names the one thread, or all of them.
GdbSession::Action GdbSession::ContinueActions(const QByteArray& actions, QByteArray* reply)
{
    for (const QByteArray& action : actions.split(';')) {
        const int colon = action.indexOf(':');
        const QByteArray thread = colon < 0 ? QByteArray() : action.mid(colon + 1);
        if (!thread.isEmpty() && thread != "1" && thread != "-1" && thread != "0")
            continue;
        const QByteArray what = colon < 0 ? action : action.left(colon);
        if (what == "c")
            return Continue(QByteArray(), false, false, reply);
        if (what == "s")
            return Continue(QByteArray(), true, false, reply);
        if (what.size() == 3 && (what.at(0) == 'C' || what.at(0) == 'S')) {
            unsigned int signal = 0;
            if (!ParseHex(what.mid(1), &signal))
                break;
            return Continue(QByteArray(), what.at(0) == 'S', false, reply);
        }
        break;
    }
    *reply = error01;
    return Reply;
}

// One instruction back, at once: it costs one undo. A write to a watched range that it takes
// back is reported as going forward.
QByteArray GdbSession::StepBack()
{
    if (document->emulator->undoList.items.isEmpty())
        return Signal(sigTrap) + "replaylog:begin;";
    return target->RunHere(ReverseStepMode).cause == StopCause::Watchpoint ? WatchStop() : Signal(sigTrap);
}

// "watch:address;" for the watchpoint's kind, and the first watched byte that the access
// touched: GDB finds its watchpoint by that address.
QByteArray GdbSession::WatchStop() const
{
    const WatchHit& hit = document->watchHit;
    bool known = false;
    for (const Watchpoint& w : clientWatchpoints)
        known = known || w.SameRange(hit.watchpoint);
    if (!known)
        return Signal(sigTrap);
    static const char* const names[] = {"", "watch", "rwatch", "awatch"};
    unsigned int address = hit.address;
    const unsigned int start = hit.watchpoint.address;
    if (((address - start) & 0xFFFFFF) >= hit.watchpoint.length)
        address = start;
    QByteArray reply = Signal(sigTrap);
    reply.append(names[hit.watchpoint.kind & 3]);
    reply.append(':');
    Hex::Append(reply, address, 8, Hex::Case::Lower);
    reply.append(';');
    return reply;
}

QByteArray GdbSession::Stopped(const RunStop& stop, QByteArray* console)
{
    console->clear();
    Emulator* emulator = document->emulator;
    QByteArray reply;
    switch (stop.cause) {
    case StopCause::AddressBreakpoint: {
        reply = Signal(sigTrap);
        const char kind = breakpointKinds.value(stop.address, 0);
        if (kind == '0')
            reply.append("swbreak:;");
        else if (kind == '1')
            reply.append("hwbreak:;");
        break;
    }
    case StopCause::InstructionBreakpoint:
        // ILLEGAL is how programs stop themselves; another opcode is a breakpoint.
        reply = Signal(document->memory->Read(stop.address, 16) == 0x4AFC ? sigIll : sigTrap);
        break;
    case StopCause::Watchpoint:
        reply = WatchStop();
        break;
    case StopCause::Trace:
        reply = Signal(sigAbrt);
        break;
    case StopCause::AddressError:
        reply = Signal(sigBus);
        break;
    case StopCause::Interrupted:
        reply = Signal(sigInt);
        break;
    default:
        if (resumeMode == ReverseRunMode && emulator->undoList.items.isEmpty())
            reply = Signal(sigTrap) + "replaylog:begin;";
        else
            reply = Signal(sigTrap);
        break;
    }
    // The fault's message, or a condition's that could not be evaluated; a watchpoint's stop
    // speaks for itself.
    if (stop.cause != StopCause::Watchpoint && !stop.message.isEmpty())
        *console = ConsoleOutput(stop.message);
    lastStop = reply;
    return reply;
}
