#ifndef ZENDRA_SESSION_PROFILE_H
#define ZENDRA_SESSION_PROFILE_H

#include <QString>
#include <QStringList>

#include <vector>

// What a profiled run cost, summed up by function, by source line and by conditional
// branch, for the writers of the field's formats (callgrind, lcov) and the window. Plain
// data, made by Profiler::Collect once the run is over. A file or function index of -1 is
// none (code without lines).
class Profile
{
public:
    struct Function
    {
        // The symbol's name, or "?@$001234" after the call target that starts it in a
        // program without names.
        QString name;
        unsigned int address = 0;
        // Where it starts in the sources.
        int file = -1;
        int line = 0;
        // A function of the symbol table, listed even when the run never reached it.
        bool declared = false;
        unsigned long long calls = 0;
        unsigned long long instructions = 0;
        unsigned long long cycles = 0;
        // Its own cost and that of what it called, each outermost call counted once.
        unsigned long long inclusiveInstructions = 0;
        unsigned long long inclusiveCycles = 0;
    };

    // A function's own cost on one line: the cost lines of a callgrind profile.
    struct Cost
    {
        int function;
        int file;
        int line;
        unsigned long long instructions;
        unsigned long long cycles;
    };

    // The calls from one line of a function to another function, with what they cost.
    struct Call
    {
        int caller;
        int callee;
        int file;
        int line;
        unsigned long long calls;
        unsigned long long instructions;
        unsigned long long cycles;
    };

    struct Line
    {
        int file;
        int line;
        // How many times the line's most executed instruction ran: its count for coverage.
        unsigned long long executions;
        unsigned long long instructions;
        unsigned long long cycles;
    };

    // A Bcc or DBcc: how many times it ran, and how many of those it branched.
    struct Branch
    {
        int file;
        int line;
        unsigned int address;
        unsigned long long executions;
        unsigned long long taken;
    };

    // What the instruction at one address cost.
    struct Instruction
    {
        unsigned int address;
        unsigned long long executions;
        unsigned long long cycles;
    };

    // The index of the function of that name, -1 for none.
    int FunctionIndex(const QString& name) const;
    // The instruction that ran at address, the line of a file; null for none.
    const Instruction* InstructionAt(unsigned int address) const;
    const Line* LineAt(int file, int line) const;
    // The files' paths as the tools that read a profile open them: absolute, where the
    // line table says or else beside the program, as the source view finds them; as the
    // table names them when neither holds the file.
    QStringList SourcePaths(const QString& programFile) const;

    // The line table's files, as it names them.
    QStringList files;
    std::vector<Function> functions;
    // By function, then file and line.
    std::vector<Cost> costs;
    std::vector<Call> calls;
    // Every line with code, run or not, by file then line.
    std::vector<Line> lines;
    // Every conditional branch of the lines' code, by address.
    std::vector<Branch> branches;
    // Every instruction that ran, by address.
    std::vector<Instruction> executed;
    // The cycles of the costliest instruction and line: the scale of their heat.
    unsigned long long hottestInstruction = 0;
    unsigned long long hottestLine = 0;
    unsigned long long instructions = 0;
    unsigned long long cycles = 0;
};

#endif
