// GDB's packets as they come off the socket, in pieces of any size, through the framing and
// the session on a machine with a small program: every packet gets an answer that frames
// cleanly, a refused one changes nothing, and runs are bounded so that each input ends.
#include "FuzzApplication.h"
#include "session/Document.h"
#include "session/Session.h"
#include "core/Emulator.h"
#include "core/Memory.h"
#include "core/Register.h"
#include "gdb/GdbPacketReader.h"
#include "gdb/GdbSession.h"

#include <cstdint>

namespace {

// A loop that writes, reads and calls: MOVE.L D0,$2000; ADDQ.L #1,D0; CMP.L $2000,D1;
// BSR.S +2; BRA.S back to the start; RTS.
const unsigned short program[] = {0x23C0, 0x0000, 0x2000, 0x5280, 0xB2B9, 0x0000, 0x2000,
                                  0x6102, 0x60EE, 0x4E75};

void Restore(Document& document)
{
    Memory& m = *document.memory;
    m.Write(0, 0x8000, 32, true);
    m.Write(4, 0x1000, 32, true);
    for (unsigned int i = 0; i < sizeof program / sizeof program[0]; ++i)
        m.Write(0x1000 + 2 * i, program[i], 16, true);
    document.emulator->Reset();
    document.emulator->undoList.items.clear();
    document.emulator->errorMessage.clear();
    document.watchpoints.clear();
    document.RemoveAllAddressBreakpoints();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MakeFuzzApplication("fuzz_gdb");
    static Session machine;
    Document& document = *machine.document;
    Restore(document);
    GdbSession session(&machine);
    session.Begin();
    GdbPacketReader reader;
    // The first byte cuts the rest into pieces, as a socket may deliver it.
    const int piece = size > 0 ? 1 + data[0] : 1;
    const QByteArray bytes(reinterpret_cast<const char*>(data) + (size > 0), int(size) - (size > 0));
    for (int start = 0; start < bytes.size(); start += piece) {
        const QByteArray chunk = bytes.mid(start, piece);
        int position = 0;
        GdbPacketReader::Message message;
        while (reader.Next(chunk, &position, &message)) {
            if (message.kind != GdbPacketReader::Packet) {
                if (!message.payload.isEmpty())
                    __builtin_trap();
                continue;
            }
            if (message.payload.size() > GdbPacketReader::maximumPayload)
                __builtin_trap();
            QByteArray reply;
            const GdbSession::Action action = session.Handle(message.payload, &reply);
            if (action == GdbSession::Resume) {
                RunBounds bounds;
                bounds.limit = 2000;
                QByteArray console;
                reply = session.Stopped(machine.RunHere(session.resumeMode, bounds), &console);
                if (!reply.startsWith('T'))
                    __builtin_trap();
            }
            if (reply.startsWith('E') && session.changed)
                __builtin_trap();
            // A reply frames and reads back whole.
            GdbPacketReader check;
            int p = 0;
            GdbPacketReader::Message back;
            const QByteArray framed = GdbSession::Frame(reply);
            if (reply.size() <= GdbPacketReader::maximumPayload
                && (!check.Next(framed, &p, &back) || back.kind != GdbPacketReader::Packet || back.payload != reply))
                __builtin_trap();
        }
    }
    session.End();
    if (!document.addressBreakpoints.isEmpty() || !document.watchpoints.isEmpty())
        __builtin_trap();
    return 0;
}
