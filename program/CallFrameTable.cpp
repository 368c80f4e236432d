#include "program/CallFrameTable.h"

#include <dwarf.h>
#include <elfutils/libdw.h>
#include <libelf.h>

#include <cstdlib>

namespace {

std::vector<DebugLocation::Op> Ops(const Dwarf_Op* ops, std::size_t count)
{
    std::vector<DebugLocation::Op> out;
    if (count > std::size_t(DebugLocation::maximumOps))
        return out;
    for (std::size_t i = 0; i < count; ++i)
        out.push_back(DebugLocation::Op{ops[i].atom, ops[i].number, ops[i].number2, QByteArray()});
    return out;
}

// A register's rule as libdw gives it: no operations and no array for "same value", none
// in the caller's array for "undefined", an expression ending in DW_OP_stack_value for a
// value, any other for the address where it was saved.
CallFrameTable::Rule ReadRule(Dwarf_Frame* frame, int number)
{
    CallFrameTable::Rule rule;
    Dwarf_Op memory[3];
    Dwarf_Op* ops = nullptr;
    std::size_t count = 0;
    if (dwarf_frame_register(frame, number, memory, &ops, &count) != 0) {
        rule.kind = CallFrameTable::RuleKind::Undefined;
        return rule;
    }
    if (count == 0) {
        rule.kind = ops ? CallFrameTable::RuleKind::Undefined : CallFrameTable::RuleKind::SameValue;
        return rule;
    }
    rule.ops = Ops(ops, count);
    if (rule.ops.empty())
        rule.kind = CallFrameTable::RuleKind::Undefined;
    else if (rule.ops.back().atom == DW_OP_stack_value) {
        rule.ops.pop_back();
        rule.kind = CallFrameTable::RuleKind::Value;
    } else
        rule.kind = CallFrameTable::RuleKind::SavedAt;
    return rule;
}

} // namespace

CallFrameTable::CallFrameTable(const QByteArray& file) : bytes(file)
{
    elf_version(EV_CURRENT);
    elf = elf_memory(bytes.data(), std::size_t(bytes.size()));
    if (!elf)
        return;
    dwarf = dwarf_begin_elf(elf, DWARF_C_READ, nullptr);
    cfi = dwarf ? dwarf_getcfi(dwarf) : nullptr;
    if (!cfi) {
        cfi = dwarf_getcfi_elf(elf);
        ownsCfi = cfi != nullptr;
    }
}

CallFrameTable::~CallFrameTable()
{
    if (cfi && ownsCfi)
        dwarf_cfi_end(cfi);
    if (dwarf)
        dwarf_end(dwarf);
    if (elf)
        elf_end(elf);
}

bool CallFrameTable::Find(unsigned int pc, Row* row) const
{
    Dwarf_Frame* frame = nullptr;
    if (!cfi || dwarf_cfi_addrframe(cfi, pc, &frame) != 0 || !frame)
        return false;
    Dwarf_Op* ops = nullptr;
    std::size_t count = 0;
    const bool found = dwarf_frame_cfa(frame, &ops, &count) == 0 && count > 0;
    if (found) {
        row->cfa = Ops(ops, count);
        for (int i = 0; i < registerCount; ++i)
            row->registers[i] = ReadRule(frame, i);
        row->returnAddress = ReadRule(frame, returnColumn);
    }
    std::free(frame);
    return found && !row->cfa.empty();
}
