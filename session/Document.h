#ifndef ZENDRA_SESSION_DOCUMENT_H
#define ZENDRA_SESSION_DOCUMENT_H

#include "core/AddressBreakpointList.h"
#include "core/Breakpoint.h"
#include "core/BreakpointCondition.h"
#include "core/BreakpointIndex.h"
#include "session/EmulationMode.h"
#include "core/InstructionBreakpointList.h"
#include "session/WatchHit.h"
#include "core/Watchpoint.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include <QImage>
#include <QObject>

#include <memory>

class Calculator;
class DebugInfo;
class Disassembler;
class EffectiveAddress;
class Emulator;
class LineTable;
class Memory;
class Profile;
class SymbolTable;

// The one shared model of the debugger: the machine (memory over the video image, the
// emulator with its registers and undo history), its interpreters for the user, the
// breakpoints and the parameters of the next run. Its fields are read and written directly.
class Document : public QObject
{
    Q_OBJECT

public:
    static constexpr int videoWidth = 480;
    static constexpr int videoHeight = 320;

    explicit Document(QObject* parent = nullptr);
    ~Document() override;

    void Skip();
    bool IsRTS() const;
    bool IsJSR() const;
    Breakpoint GetBreakpoint(unsigned int address) const;
    Breakpoint GetBreakpoint() const;
    bool IsInstructionBreakpoint() const;
    // The same answers from an index built over the current lists, for the run loops.
    Breakpoint GetBreakpoint(const BreakpointIndex& index) const;
    bool IsInstructionBreakpoint(const BreakpointIndex& index) const;
    void AddAddressBreakpoint(unsigned int address);
    void AddInstructionBreakpoint(unsigned short opcode);
    void SwapAddressBP(unsigned int address);
    // Removes every entry of the address, with its condition.
    void RemoveAddressBreakpoint(unsigned int address);
    void RemoveAllAddressBreakpoints();
    // Adds a watchpoint; false, and nothing added, when the same range and kind is there.
    bool AddWatchpoint(const Watchpoint& watchpoint);
    // For the run loops: the breakpoint at address lets a run stop, its condition holding
    // and its ignore count spent. A condition that cannot be evaluated stops the run, with
    // stopMessage saying why.
    bool ConditionAllows(unsigned int address);
    // The message of the last watchpoint hit, with the disassembled instruction: GUI thread.
    QString WatchHitMessage();

signals:
    // A view asks who last wrote a byte (mask 0xFF), a pixel (the mask of its bit) or a
    // register (named); the window answers.
    void LastWriteRequested(unsigned int address, unsigned int mask);
    void LastRegisterWriteRequested(const QString& name);
    // A view asks to run until the instruction at address ("Exécuter jusqu'au curseur") or
    // to move the program counter there ("Placer le PC ici"); the window answers.
    void RunToRequested(unsigned int address);
    void PcMoveRequested(unsigned int address);

public:

    QImage videoImage;
    Memory* memory;
    Disassembler* disassembler;
    Emulator* emulator;
    EffectiveAddress* effectiveAddress;
    Calculator* calculator;
    AddressBreakpointList addressBreakpoints;
    InstructionBreakpointList instructionBreakpoints;
    bool addressBreakpointsEnabled;
    bool instructionBreakpointsEnabled;
    EmulationMode mode;
    int undoCount;
    // The open program's names and source lines, empty for S-Records; the file it came
    // from, and a count of the programs loaded, by which views see that it changed.
    SymbolTable* symbols;
    LineTable* lines;
    // Its C functions, variables and types, empty without debugging information.
    DebugInfo* debugInfo;
    QString programFile;
    int programSerial;
    // Conditions and ignore counts of address breakpoints, by address; a plain breakpoint
    // has none. Conditions are evaluated by a calculator of their own, which reads memory.
    QHash<unsigned int, BreakpointCondition> conditions;
    Calculator* conditionCalculator;
    QList<Watchpoint> watchpoints;
    bool watchpointsEnabled;
    // What the runs cost since profiling began, while the window profiles; null otherwise.
    // Its owner replaces it between runs only.
    const Profile* profile = nullptr;
    // The frame of the call stack whose variables the views show, 0 for the innermost;
    // back to 0 at each stop. And the watch expressions, in C syntax.
    int selectedFrame = 0;
    QStringList watchExpressions;
    // Why the last run stopped, when the result code does not say it all.
    WatchHit watchHit;
    QString stopMessage;
    // The window lets the user start runs now: none is going and GDB does not drive the
    // machine. The views' run entries follow it; written and read on the GUI thread.
    bool runsAllowed = true;

private:
    // Skip's own: a run skips on its thread while the views disassemble with the other.
    std::unique_ptr<Disassembler> skipDisassembler;

    unsigned int WordAtPc() const;
    bool HasAddress(unsigned int address, const BreakpointIndex* index) const;
    bool HasInstruction(unsigned int word, const BreakpointIndex* index) const;
    Breakpoint Lookup(unsigned int address, const BreakpointIndex* index) const;
};

#endif
