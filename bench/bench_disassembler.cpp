// How many disassembly lines per second the disassembler formats, the way the views draw
// a page: set the start address, disassemble, read the four fields, go to the next line.
#include "core/Disassembler.h"
#include "core/Memory.h"

#include <QElapsedTimer>

#include <cstdio>
#include <memory>
#include <string>

namespace {

// Thousands separated by blanks: 1234567 -> "1 234 567".
std::string Grouped(double value)
{
    std::string digits = std::to_string(static_cast<long long>(value + 0.5));
    for (int i = int(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(std::size_t(i), 1, ' ');
    return digits;
}

// Lines per second over `lines` lines from `start`, best of several rounds. A stride of 0
// follows the instructions; any other stride starts every line that many bytes further.
double Measure(Disassembler& disassembler, unsigned int start, int lines, unsigned int stride, long long& checksum)
{
    double best = 0;
    for (int round = 0; round < 7; ++round) {
        QElapsedTimer timer;
        timer.start();
        unsigned int address = start;
        for (int i = 0; i < lines; ++i) {
            if (stride != 0)
                address = start + unsigned(i) * stride;
            disassembler.SetStartAddress(address);
            disassembler.Disassemble();
            // What a view reads of each line.
            checksum += disassembler.addressText.size() + disassembler.machineCode.size()
                + disassembler.mnemonic.size() + disassembler.operand.size();
            address = disassembler.nextAddress;
        }
        const double seconds = timer.nsecsElapsed() / 1e9;
        if (lines / seconds > best)
            best = lines / seconds;
    }
    return best;
}

} // namespace

int main()
{
    std::unique_ptr<unsigned char[]> video(new unsigned char[MemoryBuffer::videoSize]);
    Memory memory(video.get());
    Disassembler disassembler(&memory);

    // Every first word once, each followed by extension words with both signs: every
    // instruction form the views can meet, in equal measure.
    unsigned int address = 0x100000;
    for (unsigned int word = 0; word < 0x10000; ++word) {
        memory.Write(address, word, 16, true);
        memory.Write(address + 2, 0x8010 ^ (word & 0x7FFF), 16, true);
        memory.Write(address + 4, 0x1234, 16, true);
        memory.Write(address + 6, 0xFFFE, 16, true);
        memory.Write(address + 8, 0x0040, 16, true);
        address += 10;
    }
    // Pseudo-random bytes, for a page of what uninitialised memory shows.
    const unsigned int randomStart = 0x800000;
    unsigned int seed = 12345;
    for (unsigned int a = randomStart; a < randomStart + 0x100000; ++a) {
        seed = seed * 1664525u + 1013904223u;
        memory.Write(a, seed >> 24, 8, true);
    }

    long long checksum = 0;
    // Warm-up, so that the first round does not pay for first-touch page faults.
    Measure(disassembler, 0x100000, 1000, 10, checksum);
    const double forms = Measure(disassembler, 0x100000, 0x10000, 10, checksum);
    const double random = Measure(disassembler, randomStart, 200000, 0, checksum);
    // A typical program: the same short loop of common instructions over and over.
    const unsigned short loop[] = { 0x41F9, 0x00FF, 0x0000, 0x303C, 0x00FF, 0x20D9, 0x51C8, 0xFFFC,
                                    0x4A80, 0x6600, 0xFFF0, 0x48E7, 0xFFFE, 0x4E75 };
    for (unsigned int a = 0x400000, i = 0; a < 0x500000; a += 2, i = (i + 1) % (sizeof loop / sizeof loop[0]))
        memory.Write(a, loop[i], 16, true);
    const double program = Measure(disassembler, 0x400000, 200000, 0, checksum);

    std::printf("Disassembler, lines formatted per second, best of 7 rounds (checksum %lld):\n", checksum);
    std::printf("  each of the 65 536 opcode words: %s lines/s\n", Grouped(forms).c_str());
    std::printf("  200 000 lines of random memory:  %s lines/s\n", Grouped(random).c_str());
    std::printf("  200 000 lines of program code:   %s lines/s\n", Grouped(program).c_str());
    return 0;
}
