// The ELF loader on arbitrary file contents: a failure explains itself and leaves the
// image read before exactly as it was; a success gives segments inside the address space,
// symbols and lines whose lookups hold together, and, put into a machine, a disassembly
// that names its operands.
#include "core/Disassembler.h"
#include "session/Document.h"
#include "program/ElfLoader.h"
#include "program/LineTable.h"
#include "program/ProgramImage.h"
#include "program/SymbolTable.h"
#include "session/ProgramLoader.h"

#include <cstdint>

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
    return 0;
}
