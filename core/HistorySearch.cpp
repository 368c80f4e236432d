#include "core/HistorySearch.h"

#include "core/Memory.h"
#include "core/Register.h"
#include "core/UndoItemRing.h"

#include <functional>

namespace {

// The byte of a record's previous value at address, when the record covers it.
bool RecordedByte(const MemoryRecordItem& record, unsigned int address, unsigned int* byte)
{
    const unsigned int bytes = unsigned(record.size / 8);
    const unsigned int offset = (address - record.address) & 0xFFFFFF;
    if (offset >= bytes)
        return false;
    *byte = (record.value >> (8 * (bytes - 1 - offset))) & 0xFF;
    return true;
}

} // namespace

int HistorySearch::LastWrite(const UndoItemRing& items, unsigned int address)
{
    address &= 0xFFFFFF;
    unsigned int byte = 0;
    for (int i = items.count() - 1; i >= 0; --i)
        for (const MemoryRecordItem& record : items.at(i)->memory)
            if (RecordedByte(record, address, &byte))
                return i;
    return -1;
}

int HistorySearch::LastChange(const UndoItemRing& items, const Memory& memory, unsigned int address,
                              unsigned int mask)
{
    address &= 0xFFFFFF;
    // Going back in time, the byte as each item left it is the byte as the next one found it.
    unsigned int after = memory.Read(address, 8);
    for (int i = items.count() - 1; i >= 0; --i) {
        const MemoryRecordList& records = items.at(i)->memory;
        unsigned int before = after;
        bool wrote = false;
        // The first write of the instruction holds what the byte was before it.
        for (const MemoryRecordItem& record : records) {
            unsigned int byte = 0;
            if (RecordedByte(record, address, &byte)) {
                before = byte;
                wrote = true;
                break;
            }
        }
        if (wrote && ((before ^ after) & mask))
            return i;
        after = before;
    }
    return -1;
}

int HistorySearch::LastChange(const UndoItemRing& items, const Register& current, const QString& name)
{
    // The register is picked out once, then read by field as the history is rewound.
    const QString n = name.toUpper();
    std::function<unsigned int(const Register&)> value;
    if (n.size() == 2 && (n[0] == QLatin1Char('D') || n[0] == QLatin1Char('A')) && n[1] >= QLatin1Char('0')
        && n[1] <= QLatin1Char('7')) {
        const unsigned int number = unsigned(n[1].unicode() - '0');
        if (n[0] == QLatin1Char('D'))
            value = [number](const Register& r) { return r.d[number]; };
        else
            value = [number](const Register& r) { return r.AnRef(number); };
    } else if (n == QLatin1String("PC")) {
        value = [](const Register& r) { return r.pc; };
    } else if (n == QLatin1String("USP")) {
        value = [](const Register& r) { return r.usp; };
    } else if (n == QLatin1String("SSP")) {
        value = [](const Register& r) { return r.ssp; };
    } else if (n == QLatin1String("SR")) {
        value = [](const Register& r) { return r.sr; };
    } else {
        return -1;
    }
    const unsigned int after = value(current);
    // Going back, the first item before which the register differs from now made the change.
    Register registers(&current);
    for (int i = items.count() - 1; i >= 0; --i) {
        items.Rewind(i, registers);
        if (value(registers) != after)
            return i;
    }
    return -1;
}
