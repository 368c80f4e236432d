// The ELF loader on arbitrary file contents: a failure explains itself and leaves the
// image read before exactly as it was; a success gives segments inside the address space,
// symbols and lines whose lookups hold together, and, put into a machine, a disassembly
// that names its operands, and call stacks from its functions whose arguments, locals and
// globals all have a text.
#include "core/Disassembler.h"
#include "core/Emulator.h"
#include "core/Register.h"
#include "session/Document.h"
#include "program/ElfLoader.h"
#include "program/LineTable.h"
#include "program/ProgramImage.h"
#include "program/SymbolTable.h"
#include "session/CallStack.h"
#include "session/ProgramLoader.h"
#include "session/ValueFormatter.h"

#include <cstdint>

namespace {

void Show(const ValueFormatter& formatter, const std::vector<DebugValue>& values)
{
    for (std::size_t i = 0; i < values.size() && i < 16; ++i) {
        if (formatter.Text(values[i]).isEmpty() || formatter.Text(values[i], ValueFormatter::Radix::Hexadecimal).isEmpty())
            __builtin_trap();
        for (const DebugValue& child : formatter.Children(values[i]))
            formatter.Text(child);
    }
}

// A stack from the first instruction of each of the first functions, over whatever the
// machine's stack holds: it ends, and each frame's values have a text.
void WalkStacks(Document& document)
{
    const DebugInfo& debug = *document.debugInfo;
    const ValueFormatter formatter(&debug, document.memory, document.symbols);
    Show(formatter, CallStack(document).Globals());
    for (std::size_t f = 0; f < debug.functions.size() && f < 8; ++f) {
        Register registers(document.emulator->registers);
        registers.pc = debug.functions[f].low;
        registers.sr |= 0x2000;
        registers.ssp = 0x7FF00;
        registers.a[6] = 0x7FF10;
        CallStack stack(document);
        stack.Unwind(registers);
        if (stack.frames.empty() || int(stack.frames.size()) > CallStack::maximumDepth
            || stack.frames[0].pc != (registers.pc & 0xFFFFFF))
            __builtin_trap();
        for (int i = 0; i < int(stack.frames.size()) && i < 4; ++i) {
            Show(formatter, stack.Arguments(i));
            Show(formatter, stack.Locals(i));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Document document;
    // The image of the last file read; a refused file leaves it whole.
    static ProgramImage image;
    const std::size_t segments = image.segments.size();
    const int symbols = image.symbols.Count();
    const int rows = image.lines.RowCount();
    ElfLoader loader(QStringLiteral("fuzz.elf"));
    const bool ok = loader.Parse(QByteArray(reinterpret_cast<const char*>(data), int(size)), &image);
    if (ok != loader.errorMessage.isEmpty())
        __builtin_trap();
    if (!ok) {
        if (image.segments.size() != segments || image.symbols.Count() != symbols || image.lines.RowCount() != rows)
            __builtin_trap();
        return 0;
    }
    for (const ProgramImage::Segment& s : image.segments)
        if (unsigned(s.bytes.size()) > s.memorySize || s.address + s.memorySize > 0x1000000)
            __builtin_trap();
    ProgramImage copy = image;
    ProgramLoader(QStringLiteral("fuzz.elf"), &document).Commit(copy);

    const SymbolTable& table = *document.symbols;
    for (int i = 0; i < table.Count() && i < 64; ++i) {
        const SymbolTable::Symbol& s = table.At(i);
        const SymbolTable::Symbol* found = table.Find(s.key.constData(), s.key.size());
        if (!found || found->key != s.key)
            __builtin_trap();
        unsigned int offset = 0;
        const SymbolTable::Symbol* named = table.Describe(s.address + s.size / 2, &offset);
        if (named && named->address + offset != s.address + s.size / 2)
            __builtin_trap();
        if (s.kind != SymbolTable::Constant && !table.LabelAt(s.address))
            __builtin_trap();
    }
    const LineTable& lines = *document.lines;
    for (int i = 0; i < lines.RowCount() && i < 64; ++i) {
        const LineTable::Row& r = lines.RowAt(i);
        if (r.file < 0 || r.file >= lines.Files().size())
            __builtin_trap();
        unsigned int start = 0, end = 0;
        if (const LineTable::Row* found = lines.Find(r.address)) {
            if (!lines.Range(r.address, &start, &end) || start > r.address || end <= r.address
                || found->address != r.address)
                __builtin_trap();
        }
        for (unsigned int a : lines.Addresses(r.file, r.line))
            if (!lines.IsStatement(a))
                __builtin_trap();
    }
    Disassembler* d = document.disassembler;
    unsigned int address = table.IsEmpty() ? 0 : table.At(0).address;
    for (int i = 0; i < 32; ++i) {
        d->SetStartAddress(address);
        d->Disassemble();
        address = d->nextAddress;
    }
    WalkStacks(document);
    return 0;
}
