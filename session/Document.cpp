#include "session/Document.h"

#include "core/Calculator.h"
#include "core/Disassembler.h"
#include "core/EffectiveAddress.h"
#include "core/Emulator.h"
#include "core/Memory.h"
#include "program/DebugInfo.h"
#include "program/LineTable.h"
#include "program/SymbolTable.h"

Document::Document(QObject* parent)
    : QObject(parent),
      videoImage(videoWidth, videoHeight, QImage::Format_Mono),
      memory(nullptr),
      disassembler(nullptr),
      emulator(nullptr),
      effectiveAddress(nullptr),
      calculator(nullptr),
      addressBreakpointsEnabled(true),
      instructionBreakpointsEnabled(true),
      mode(StepIntoMode),
      undoCount(0),
      symbols(new SymbolTable),
      lines(new LineTable),
      debugInfo(new DebugInfo),
      programSerial(0),
      conditionCalculator(nullptr),
      watchpointsEnabled(true)
{
    // A set bit is a white pixel.
    videoImage.setColorCount(2);
    videoImage.setColor(0, qRgb(0, 0, 0));
    videoImage.setColor(1, qRgb(255, 255, 255));
    // The image's 60-byte rows lie end to end: its pixel bytes are the video area.
    Q_ASSERT(videoImage.bytesPerLine() * videoHeight == int(MemoryBuffer::videoSize));
    memory = new Memory(videoImage.bits());
    disassembler = new Disassembler(memory);
    skipDisassembler = std::make_unique<Disassembler>(memory);
    emulator = new Emulator(memory);
    effectiveAddress = new EffectiveAddress(memory, emulator->registers);
    calculator = new Calculator(emulator->registers);
    calculator->symbols = symbols;
    disassembler->symbols = symbols;
    conditionCalculator = new Calculator(emulator->registers);
    conditionCalculator->symbols = symbols;
    conditionCalculator->memory = memory;
    instructionBreakpoints.append(0x4AFC);
}

Document::~Document()
{
    delete conditionCalculator;
    delete calculator;
    delete effectiveAddress;
    delete emulator;
    delete disassembler;
    delete memory;
    delete debugInfo;
    delete lines;
    delete symbols;
}

unsigned int Document::WordAtPc() const
{
    return memory->Read(emulator->registers->pc, 16);
}

void Document::Skip()
{
    Register* r = emulator->registers;
    r->pc = skipDisassembler->GetNext(r->pc, 1);
}

bool Document::IsRTS() const
{
    return WordAtPc() == 0x4E75;
}

bool Document::IsJSR() const
{
    const unsigned int w = WordAtPc();
    return (w & 0xFF00) == 0x6100 || (w & 0xFFC0) == 0x4E80;
}

bool Document::HasAddress(unsigned int address, const BreakpointIndex* index) const
{
    return index ? index->HasAddress(address) : addressBreakpoints.contains(address);
}

bool Document::HasInstruction(unsigned int word, const BreakpointIndex* index) const
{
    return index ? index->HasInstruction(word) : instructionBreakpoints.contains(static_cast<unsigned short>(word));
}

Breakpoint Document::Lookup(unsigned int address, const BreakpointIndex* index) const
{
    // Precedence: enabled instruction, enabled address, disabled instruction, disabled address.
    const unsigned int a = address & 0xFFFFFF;
    // The views look breakpoints up while a run goes.
    const bool instruction = HasInstruction(memory->Peek(a, 16), index);
    if (instruction && instructionBreakpointsEnabled)
        return Breakpoint(InstructionBreakpoint, true);
    // Runs (which look up through an index) pass a breakpoint whose condition does not hold
    // as if it were not there; the views show it always.
    if (HasAddress(a, index)
        && (!index || conditions.isEmpty() || !addressBreakpointsEnabled
            || const_cast<Document*>(this)->ConditionAllows(a))) {
        if (addressBreakpointsEnabled)
            return Breakpoint(AddressBreakpoint, true);
        return instruction ? Breakpoint(InstructionBreakpoint, false) : Breakpoint(AddressBreakpoint, false);
    }
    return instruction ? Breakpoint(InstructionBreakpoint, false) : Breakpoint(NoBreakpoint, false);
}

Breakpoint Document::GetBreakpoint(unsigned int address) const
{
    return Lookup(address, nullptr);
}

Breakpoint Document::GetBreakpoint() const
{
    return Lookup(emulator->registers->pc, nullptr);
}

Breakpoint Document::GetBreakpoint(const BreakpointIndex& index) const
{
    return Lookup(emulator->registers->pc, &index);
}

bool Document::IsInstructionBreakpoint() const
{
    return HasInstruction(WordAtPc(), nullptr);
}

bool Document::IsInstructionBreakpoint(const BreakpointIndex& index) const
{
    return HasInstruction(WordAtPc(), &index);
}

void Document::AddAddressBreakpoint(unsigned int address)
{
    addressBreakpoints.append(address & 0xFFFFFF);
}

void Document::AddInstructionBreakpoint(unsigned short opcode)
{
    instructionBreakpoints.append(opcode);
}

void Document::SwapAddressBP(unsigned int address)
{
    const unsigned int a = address & 0xFFFFFF;
    const int i = addressBreakpoints.indexOf(a);
    if (i >= 0) {
        addressBreakpoints.removeAt(i);
        if (!addressBreakpoints.contains(a))
            conditions.remove(a);
    } else {
        addressBreakpoints.append(a);
    }
}

void Document::RemoveAddressBreakpoint(unsigned int address)
{
    const unsigned int a = address & 0xFFFFFF;
    addressBreakpoints.removeAll(a);
    conditions.remove(a);
}

void Document::RemoveAllAddressBreakpoints()
{
    addressBreakpoints.clear();
    conditions.clear();
}

bool Document::AddWatchpoint(const Watchpoint& watchpoint)
{
    for (const Watchpoint& w : qAsConst(watchpoints))
        if (w.SameRange(watchpoint))
            return false;
    watchpoints.append(watchpoint);
    return true;
}

bool Document::ConditionAllows(unsigned int address)
{
    const auto it = conditions.find(address & 0xFFFFFF);
    if (it == conditions.end())
        return true;
    BreakpointCondition& c = it.value();
    if (c.HasCondition()) {
        bool holds = false;
        if (!c.condition.Evaluate(conditionCalculator, &holds)) {
            stopMessage = QStringLiteral("La condition du point d'arrêt en $%1 n'a pas pu être évaluée : "
                                         "elle divise par zéro.")
                              .arg(Disassembler::Hexa(address & 0xFFFFFF, 6));
            return true;
        }
        if (!holds)
            return false;
    }
    if (c.passes < c.ignoreCount) {
        ++c.passes;
        return false;
    }
    return true;
}

QString Document::WatchHitMessage()
{
    const WatchHit& h = watchHit;
    disassembler->SetStartAddress(h.instruction);
    disassembler->Disassemble();
    const QString instruction = disassembler->mnemonic + QLatin1Char(' ') + disassembler->operand;
    const int digits = h.size / 4;
    QString access;
    if (h.access == WatchWrite)
        access = QStringLiteral("a écrit $%1 à l'adresse $%2, qui valait $%3.")
                     .arg(Disassembler::Hexa(h.newValue, digits), Disassembler::Hexa(h.address, 6),
                          Disassembler::Hexa(h.oldValue, digits));
    else
        access = QStringLiteral("a lu $%1 à l'adresse $%2.")
                     .arg(Disassembler::Hexa(h.newValue, digits), Disassembler::Hexa(h.address, 6));
    return QStringLiteral("Point d'observation %1 atteint.\u2028L'instruction en $%2 (%3) %4")
        .arg(h.watchpoint.Text(), Disassembler::Hexa(h.instruction, 6), instruction.trimmed(), access);
}
