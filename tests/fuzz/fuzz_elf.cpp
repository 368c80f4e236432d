// The ELF loader on arbitrary file contents: a failure explains itself and leaves the
// program open before exactly as it was; a success gives symbols and lines whose lookups
// hold together, and a disassembly that names its operands.
#include "core/Disassembler.h"
#include "session/Document.h"
#include "program/ElfLoader.h"
#include "program/LineTable.h"
#include "program/SymbolTable.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Document document;
    const int symbols = document.symbols->Count();
    const int rows = document.lines->RowCount();
    ElfLoader loader(QStringLiteral("fuzz.elf"), document.memory, document.symbols, document.lines);
    const bool ok = loader.Load(QByteArray(reinterpret_cast<const char*>(data), int(size)));
    if (ok != loader.errorMessage.isEmpty())
        __builtin_trap();
    if (!ok) {
        if (document.symbols->Count() != symbols || document.lines->RowCount() != rows)
            __builtin_trap();
        return 0;
    }

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
