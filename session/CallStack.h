#ifndef ZENDRA_SESSION_CALLSTACK_H
#define ZENDRA_SESSION_CALLSTACK_H

#include "program/DebugInfo.h"
#include "session/DebugValue.h"
#include "session/LocationEvaluator.h"

#include <QString>

#include <vector>

class Document;
class LineTable;
class Memory;
class Register;
class SymbolTable;

// The call stack of a stopped machine, from the pc outwards: each frame with its pc, its
// function, source file and line (or the nearest symbol without lines) and its registers,
// from which its arguments and locals are located. Frames are unwound with the program's
// call frame information, else with the A6 chain that LINK and UNLK keep, else at a
// function's first instruction or its RTS from the return address on the stack. The list
// ends at the program's entry, at a frame whose caller cannot be found (endMessage says
// why, in French), at a frame that does not move the stack, or at maximumDepth frames.
// Computed on demand, never during a run, on the thread that owns the stopped machine.
class CallStack
{
public:
    struct Frame
    {
        unsigned int pc = 0;
        // The frame's canonical address: the caller's stack pointer before its call.
        bool cfaKnown = false;
        unsigned int cfa = 0;
        // Null without debugging information for the frame's code.
        const DebugInfo::Function* function = nullptr;
        // The function's name, else the nearest symbol's, else empty.
        QString name;
        // Empty and 0 where no line holds the pc.
        QString file;
        int line = 0;
        LocationEvaluator::Registers registers;
    };

    static constexpr int maximumDepth = 256;

    CallStack(const DebugInfo* debug, const SymbolTable* symbols, const LineTable* lines, const Memory* memory);
    // The document's program and machine.
    explicit CallStack(const Document& document);

    // Unwinds from the registers; the frames and endMessage replace those before.
    void Unwind(const Register& registers);

    // A frame's arguments and the locals in scope at its pc (innermost block first), each
    // located for its frame; none without debugging information.
    std::vector<DebugValue> Arguments(int frame) const;
    std::vector<DebugValue> Locals(int frame) const;
    // The program's global and static variables, located.
    std::vector<DebugValue> Globals() const;
    // An evaluator for a frame's locations, for expressions over its variables.
    LocationEvaluator Evaluator(int frame) const;

    std::vector<Frame> frames;
    // Why the stack ends where it does, when it is cut short; empty when it reaches the
    // program's outermost frame.
    QString endMessage;

private:
    Frame Describe(unsigned int pc, const LocationEvaluator::Registers& registers) const;
    // The caller of a frame, false with endMessage set when it cannot be found; *last when
    // the frame is the outermost.
    bool Caller(Frame* frame, Frame* caller, bool* last);
    // False with *failure saying why where the table has rules that cannot be followed.
    bool CallerByTable(Frame* frame, Frame* caller, QString* failure);
    bool CallerByLink(Frame* frame, Frame* caller);
    DebugValue Locate(const DebugInfo::Variable& variable, int frame) const;

    const DebugInfo* debug;
    const SymbolTable* symbols;
    const LineTable* lines;
    const Memory* memory;
};

#endif
