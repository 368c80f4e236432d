#include "session/CallStack.h"

#include "core/Emulator.h"
#include "core/Hex.h"
#include "core/Memory.h"
#include "core/Register.h"
#include "program/LineTable.h"
#include "program/SymbolTable.h"
#include "session/Document.h"

namespace {

constexpr unsigned int linkA6 = 0x4E56;
constexpr unsigned int rts = 0x4E75;

QString Interrupted(const QString& why)
{
    return QStringLiteral("Pile d'appels interrompue : %1.").arg(why);
}

} // namespace

CallStack::CallStack(const DebugInfo* debug, const SymbolTable* symbols, const LineTable* lines, const Memory* memory)
    : debug(debug), symbols(symbols), lines(lines), memory(memory)
{
}

CallStack::CallStack(const Document& document)
    : CallStack(document.debugInfo, document.symbols, document.lines, document.memory)
{
}

CallStack::Frame CallStack::Describe(unsigned int pc, const LocationEvaluator::Registers& registers) const
{
    Frame f;
    f.pc = pc;
    f.registers = registers;
    const unsigned int at = registers.pc;
    f.function = debug->FunctionAt(at);
    unsigned int offset = 0;
    const SymbolTable::Symbol* s = f.function ? nullptr : symbols->Describe(at, &offset);
    f.name = f.function ? f.function->name : s ? s->name : QString();
    if (const LineTable::Row* row = lines->Find(at)) {
        if (row->file >= 0 && row->file < lines->Files().size()) {
            f.file = lines->Files().at(row->file);
            f.line = row->line;
        }
    }
    return f;
}

void CallStack::Unwind(const Register& machine)
{
    frames.clear();
    endMessage.clear();
    LocationEvaluator::Registers r;
    for (int i = 0; i < 8; ++i)
        r.values[i] = machine.d[i];
    for (int i = 0; i < 8; ++i)
        r.values[8 + i] = machine.AnRef(unsigned(i));
    for (bool& known : r.known)
        known = true;
    r.pc = machine.pc & 0xFFFFFF;
    Frame frame = Describe(r.pc, r);
    for (;;) {
        Frame caller;
        bool last = false;
        const bool found = Caller(&frame, &caller, &last);
        frames.push_back(frame);
        if (!found || last)
            return;
        if (int(frames.size()) == maximumDepth) {
            endMessage = Interrupted(QStringLiteral("plus de %1 cadres").arg(maximumDepth));
            return;
        }
        // The stack grows down: a caller's frame lies above its callee's, or the unwinding
        // goes round in circles.
        if (caller.registers.values[CallFrameTable::stackPointer] <= frame.registers.values[CallFrameTable::stackPointer]) {
            endMessage = Interrupted(QStringLiteral("le cadre de $%1 ne déplace pas la pile").arg(Hex::Text(caller.pc, 6)));
            return;
        }
        frame = caller;
    }
}

bool CallStack::Caller(Frame* frame, Frame* caller, bool* last)
{
    QString why;
    const bool found = CallerByTable(frame, caller, &why) || CallerByLink(frame, caller);
    // GDB's backtrace stops at main; a program without it stops in its start-up code, the
    // code at its entry point before its first function.
    const DebugInfo::Function* entryFunction = debug->FunctionAt(debug->entry);
    const DebugInfo::Function* next = nullptr;
    for (const DebugInfo::Function& f : debug->functions)
        if (f.low > debug->entry) {
            next = &f;
            break;
        }
    const unsigned int at = frame->registers.pc;
    *last = (frame->function && (frame->function->name == QLatin1String("main") || frame->function == entryFunction))
            || (!frame->function && at >= debug->entry && (!next || at < next->low));
    if (*last)
        return true;
    if (!found)
        endMessage = !why.isEmpty() ? why
                                    : Interrupted(QStringLiteral("adresse de retour introuvable à $%1").arg(Hex::Text(frame->pc, 6)));
    return found;
}

bool CallStack::CallerByTable(Frame* frame, Frame* caller, QString* failure)
{
    CallFrameTable::Row row;
    if (!debug->frames || !debug->frames->Find(frame->registers.pc, &row))
        return false;
    LocationEvaluator::Context context;
    context.memory = memory;
    context.registers = frame->registers;
    LocationEvaluator evaluator(context);
    QString why;
    unsigned int cfa = 0;
    if (!evaluator.Compute(row.cfa, &cfa, &why)) {
        *failure = Interrupted(QStringLiteral("adresse du cadre de $%1 incalculable (%2)").arg(Hex::Text(frame->pc, 6), why));
        return false;
    }
    frame->cfaKnown = true;
    frame->cfa = cfa;
    evaluator.context.cfaKnown = true;
    evaluator.context.cfa = cfa;
    LocationEvaluator::Registers r = frame->registers;
    const auto apply = [&](const CallFrameTable::Rule& rule, unsigned int* value, bool* known) {
        unsigned int computed = 0;
        switch (rule.kind) {
        case CallFrameTable::RuleKind::SameValue: return;
        case CallFrameTable::RuleKind::Undefined: *known = false; return;
        case CallFrameTable::RuleKind::SavedAt:
            *known = evaluator.Compute(rule.ops, &computed, &why);
            *value = *known ? memory->Peek(computed & 0xFFFFFF, 32) : 0;
            return;
        case CallFrameTable::RuleKind::Value: *known = evaluator.Compute(rule.ops, value, &why); return;
        }
    };
    for (int i = 0; i < CallFrameTable::registerCount; ++i)
        apply(row.registers[i], &r.values[i], &r.known[i]);
    // The caller's stack pointer is the CFA, unless the table says otherwise.
    if (row.registers[CallFrameTable::stackPointer].kind == CallFrameTable::RuleKind::SameValue) {
        r.values[CallFrameTable::stackPointer] = cfa;
        r.known[CallFrameTable::stackPointer] = true;
    }
    unsigned int returnAddress = 0;
    bool known = true;
    if (row.returnAddress.kind == CallFrameTable::RuleKind::SameValue) {
        *failure = Interrupted(QStringLiteral("adresse de retour de $%1 non sauvegardée").arg(Hex::Text(frame->pc, 6)));
        return false;
    }
    apply(row.returnAddress, &returnAddress, &known);
    if (!known) {
        *failure = Interrupted(QStringLiteral("adresse de retour de $%1 indéfinie").arg(Hex::Text(frame->pc, 6)));
        return false;
    }
    returnAddress &= 0xFFFFFF;
    r.pc = returnAddress - 1;
    *caller = Describe(returnAddress, r);
    return true;
}

// Code without call frame information: a function that keeps a frame with LINK A6 finds
// its caller's A6 and return address above its A6; at a function's first instruction or at
// an RTS, the return address is on top of the stack.
bool CallStack::CallerByLink(Frame* frame, Frame* caller)
{
    const LocationEvaluator::Registers& r = frame->registers;
    unsigned int start = 0;
    if (frame->function) {
        start = frame->function->low;
    } else {
        unsigned int offset = 0;
        const SymbolTable::Symbol* s = symbols->Describe(r.pc, &offset);
        if (!s)
            return false;
        start = r.pc - offset;
    }
    const unsigned int pc = frame->pc;
    const unsigned int sp = r.values[CallFrameTable::stackPointer];
    const unsigned int a6 = r.values[CallFrameTable::framePointer];
    const bool atTop = pc == start || memory->Peek(pc, 16) == rts;
    const bool linked = !atTop && memory->Peek(start & 0xFFFFFF, 16) == linkA6 && pc >= start + 4;
    if ((!atTop && !linked) || !r.known[CallFrameTable::stackPointer]
        || (linked && !r.known[CallFrameTable::framePointer]))
        return false;
    LocationEvaluator::Registers callerRegisters = r;
    const unsigned int cfa = linked ? a6 + 8 : sp + 4;
    const unsigned int returnAddress = memory->Peek(((linked ? a6 + 4 : sp)) & 0xFFFFFF, 32) & 0xFFFFFF;
    if (linked)
        callerRegisters.values[CallFrameTable::framePointer] = memory->Peek(a6 & 0xFFFFFF, 32);
    callerRegisters.values[CallFrameTable::stackPointer] = cfa;
    callerRegisters.pc = returnAddress - 1;
    frame->cfaKnown = true;
    frame->cfa = cfa;
    *caller = Describe(returnAddress, callerRegisters);
    return true;
}

LocationEvaluator CallStack::Evaluator(int frame) const
{
    LocationEvaluator::Context context;
    context.memory = memory;
    if (frame >= 0 && frame < int(frames.size())) {
        const Frame& f = frames[std::size_t(frame)];
        context.registers = f.registers;
        context.cfaKnown = f.cfaKnown;
        context.cfa = f.cfa;
        context.frameBase = f.function ? &f.function->frameBase : nullptr;
    }
    return LocationEvaluator(context);
}

DebugValue CallStack::Locate(const DebugInfo::Variable& variable, int frame) const
{
    DebugValue value = Evaluator(frame).Place(variable.location, debug->types.SizeOf(variable.type));
    value.name = variable.name;
    value.type = variable.type;
    return value;
}

std::vector<DebugValue> CallStack::Arguments(int frame) const
{
    std::vector<DebugValue> values;
    if (frame < 0 || frame >= int(frames.size()) || !frames[std::size_t(frame)].function)
        return values;
    for (const DebugInfo::Variable& v : frames[std::size_t(frame)].function->parameters)
        values.push_back(Locate(v, frame));
    return values;
}

std::vector<DebugValue> CallStack::Locals(int frame) const
{
    std::vector<DebugValue> values;
    if (frame < 0 || frame >= int(frames.size()) || !frames[std::size_t(frame)].function)
        return values;
    const Frame& f = frames[std::size_t(frame)];
    for (const DebugInfo::Variable* v : debug->LocalsAt(*f.function, f.registers.pc))
        values.push_back(Locate(*v, frame));
    return values;
}

std::vector<DebugValue> CallStack::Globals() const
{
    std::vector<DebugValue> values;
    for (const DebugInfo::Variable& v : debug->globals)
        values.push_back(Locate(v, -1));
    return values;
}
