#ifndef ZENDRA_CORE_CYCLEESTIMATE_H
#define ZENDRA_CORE_CYCLEESTIMATE_H

class Memory;
class QString;

// What an instruction can cost in clock cycles, read from its words before it runs: the
// fewest and the most over all data when it raises no exception, and whether data (registers,
// memory, SR) can make it raise one instead (CHK, TRAPV, a division by zero, a privileged
// instruction in user state). What its words fix is taken as fixed: a MOVEM's mask, a shift's
// immediate count, MULU's or DIVU's immediate source, a static bit number. The costs are
// CycleTable's, by the rules that the emulator's handlers follow.
class CycleEstimate
{
public:
    enum class Exception {
        Never,
        // Data decide: low and high are for the runs without one.
        Sometimes,
        // Whatever the data: low and high are the exception's whole cost.
        Always
    };

    // The widest Text, in characters ("16-156+"); the numbers of any take one less, so that
    // a column can keep its last cell for the "+".
    static constexpr int textWidth = 7;

    CycleEstimate(int low, int high) : low(low), high(high) {}
    // The same, raising an exception of that kind and cost.
    CycleEstimate& Raising(Exception kind, int cycles);

    // The instruction at address; a word that is no instruction costs what the emulator
    // charges for it, an exception.
    static CycleEstimate Of(const Memory& memory, unsigned int address);
    // The same from the first word and the word after it, the only extension word that can
    // fix a cost.
    static CycleEstimate Of(unsigned int opcode, unsigned int extension);

    bool IsExact() const { return low == high; }
    // "4" when exact, "38-70" when data decide, with "+" when data can also raise an
    // exception ("8+", "10-136+").
    QString Text() const;
    // The same appended, for a view that formats a page on every paint.
    void AppendText(QString& text) const;

    int low = 0;
    int high = 0;
    Exception exception = Exception::Never;
    // An exception's whole cost, from the instruction to its handler's first fetch; 0 when it
    // never raises one.
    int exceptionCycles = 0;
};

#endif
