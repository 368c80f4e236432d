#ifndef ZENDRA_SESSION_PROFILER_H
#define ZENDRA_SESSION_PROFILER_H

#include "core/ExecutionObserver.h"
#include "session/Profile.h"

#include <memory>
#include <unordered_map>
#include <vector>

class Document;
class Emulator;
class Register;
class LineTable;

// Counts, as it observes a run, what each instruction cost: how many times it ran and its
// clock cycles (the emulator's counter before and after it), how many times a conditional
// branch branched, and the calls with what they cost in all. Collect() sums that up by
// function, line and branch from the program's names and lines.
//
// Calls are JSR and BSR; returns RTS, RTR and RTE, matched on a shadow stack by where the
// return address lies on the stack, not by order: a return pops its own frame and any
// deeper one left behind (a longjmp, an exit through a handler), and one that matches none
// pops nothing. An exception counts as a call from the instruction that raised it to its
// handler: see ExceptionTaken() for how it is told.
//
// While it observes, it allocates only when it meets code it has not seen (a page of
// counts, a new call site or target); a run that does not use it pays nothing. It is used
// on the thread that runs the machine.
class Profiler final : public ExecutionObserver
{
public:
    explicit Profiler(Document* document);
    ~Profiler();

    // Forgets everything counted, and counts cycles from the machine as it stands.
    void Start();
    void Executed(unsigned int address) override;
    // Before a run: counts from the machine as it stands now.
    void Starting() override;
    // After the run: the cycles counted since the last instruction observed (those of one
    // that faulted) go to the instruction at pc.
    void Stopped() override { Finish(); }
    void Finish();
    // The counts summed up, the calls still open closed where the run stopped.
    Profile Collect() const;

    unsigned long long Instructions() const { return instructions; }

private:
    // What each instruction's first word makes of it for the profile.
    enum class Kind : unsigned char {
        Other,
        // A word that can raise an exception other than those below: a privileged
        // instruction or an illegal word (this machine consumes line A and F words).
        Raising,
        Call,
        Return,
        // A Bcc of one word (its displacement in it), of two (a word's displacement after it).
        ShortBranch,
        Branch,
        DecrementBranch,
        ReturnFromException,
        Trap,
        TrapOnOverflow,
        Check,
        Divide
    };
    static const Kind* Kinds();

    // The counts of the instruction at one even address; edge caches its last call's (plus
    // one, 0 for none), kind its kind (plus one, 0 until it first runs), so that its word is
    // read once: code that rewrites itself keeps the kind of what ran there first.
    struct Counts
    {
        unsigned long long executions;
        unsigned long long cycles;
        unsigned long long taken;
        int edge;
        unsigned char kind;
    };
    static constexpr unsigned int pageBits = 12;
    static constexpr unsigned int pageCount = 1u << (24 - pageBits);
    static constexpr unsigned int pageEntries = 1u << (pageBits - 1);
    // Inline: it runs for every instruction observed.
    Counts& At(unsigned int address)
    {
        std::unique_ptr<Counts[]>& page = pages[(address & 0xFFFFFF) >> pageBits];
        if (__builtin_expect(!page, false))
            NewPage(page);
        return page[(address & ((1u << pageBits) - 1)) >> 1];
    }
    static void NewPage(std::unique_ptr<Counts[]>& page);
    const Counts* Find(unsigned int address) const;

    struct Edge
    {
        unsigned int site;
        unsigned int target;
        int targetIndex;
        unsigned long long calls;
        unsigned long long instructions;
        unsigned long long cycles;
    };
    struct Target
    {
        unsigned int address;
        // Frames of calls to it open now: only the outermost adds its cost, so that a
        // recursion is not counted again for each level.
        int open;
        unsigned long long instructions;
        unsigned long long cycles;
    };
    struct Frame
    {
        // Where the return address (or the exception's frame) lies, on which stack.
        unsigned int slot;
        bool supervisor;
        bool outermost;
        int edge;
        unsigned long long instructions;
        unsigned long long cycles;
    };
    // The deepest that the shadow stack follows; calls deeper are counted, not timed.
    static constexpr std::size_t maximumDepth = 1u << 16;

    void Observe(Counts& counts, unsigned int address);
    void Call(Counts& site, unsigned int address, unsigned int target, unsigned int slot, bool supervisor);
    int EdgeIndex(unsigned int site, unsigned int target);
    void Return(unsigned int stackPointer, bool supervisor);
    void Close(const Frame& frame, std::vector<Edge>& edges, std::vector<Target>& targets) const;
    bool ExceptionTaken(Kind kind, unsigned int address, unsigned int pc) const;
    std::vector<Profile::Branch> Branches(const LineTable& lines) const;

    Document* const document;
    const Emulator* const emulator;
    const Register& registers;
    const Kind* const kinds;
    std::vector<std::unique_ptr<Counts[]>> pages;
    std::vector<Edge> edges;
    std::unordered_map<unsigned long long, int> edgeIndex;
    std::vector<Target> targets;
    std::unordered_map<unsigned int, int> targetIndex;
    std::vector<Frame> frames;
    unsigned long long instructions = 0;
    // The cycle counter after the last instruction observed.
    unsigned long long last = 0;
};

#endif
