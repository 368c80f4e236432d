#include "session/Profiler.h"

#include "core/Decoder.h"
#include "core/Disassembler.h"
#include "core/Emulator.h"
#include "core/Memory.h"
#include "core/Register.h"
#include "core/VectorNumber.h"
#include "program/LineTable.h"
#include "program/SymbolTable.h"
#include "session/Document.h"

#include <QHash>

#include <algorithm>
#include <map>
#include <tuple>

namespace {

constexpr unsigned int addressMask = 0xFFFFFF;

unsigned long long Since(unsigned long long now, unsigned long long then)
{
    // The counter goes back when instructions are taken back between two runs.
    return now >= then ? now - then : 0;
}

} // namespace

Profiler::Profiler(Document* document)
    : document(document), emulator(document->emulator), registers(*emulator->registers), kinds(Kinds()), pages(pageCount)
{
}

Profiler::~Profiler() = default;

const Profiler::Kind* Profiler::Kinds()
{
    static const std::vector<Kind> table = [] {
        std::vector<Kind> k(0x10000, Kind::Other);
        for (unsigned int w = 0; w < 0x10000; ++w) {
            switch (Decoder::KindOf(w)) {
            case Decoder::Kind_JSR: k[w] = Kind::Call; break;
            case Decoder::Kind_Bcc:
                k[w] = ((w >> 8) & 15) == 1 ? Kind::Call
                     : ((w >> 8) & 15) == 0 ? Kind::Other
                     : (w & 0xFF)           ? Kind::ShortBranch
                                            : Kind::Branch;
                break;
            case Decoder::Kind_RTS:
            case Decoder::Kind_RTR: k[w] = Kind::Return; break;
            case Decoder::Kind_RTE: k[w] = Kind::ReturnFromException; break;
            case Decoder::Kind_DBcc: k[w] = Kind::DecrementBranch; break;
            case Decoder::Kind_TRAP: k[w] = Kind::Trap; break;
            case Decoder::Kind_TRAPV: k[w] = Kind::TrapOnOverflow; break;
            case Decoder::Kind_CHK: k[w] = Kind::Check; break;
            case Decoder::Kind_DIVU:
            case Decoder::Kind_DIVS: k[w] = Kind::Divide; break;
            case Decoder::NoKind:
            case Decoder::Kind_ILLEGAL:
            case Decoder::Kind_ANDItoSR:
            case Decoder::Kind_EORItoSR:
            case Decoder::Kind_ORItoSR:
            case Decoder::Kind_MOVEtoSR:
            case Decoder::Kind_MOVE_USP:
            case Decoder::Kind_STOP:
            case Decoder::Kind_RESET: k[w] = Kind::Raising; break;
            default: break;
            }
        }
        return k;
    }();
    return table.data();
}

void Profiler::Start()
{
    for (auto& page : pages)
        page.reset();
    edges.clear();
    edgeIndex.clear();
    targets.clear();
    targetIndex.clear();
    frames.clear();
    frames.reserve(1024);
    instructions = 0;
    Starting();
}

void Profiler::Starting()
{
    last = emulator->Cycles();
}

void Profiler::NewPage(std::unique_ptr<Counts[]>& page)
{
    page.reset(new Counts[pageEntries]());
}

const Profiler::Counts* Profiler::Find(unsigned int address) const
{
    const std::unique_ptr<Counts[]>& page = pages[(address & addressMask) >> pageBits];
    return page ? &page[(address & ((1u << pageBits) - 1)) >> 1] : nullptr;
}

// Called after the instruction at address ran: its cost is the counter's advance since the
// last one, the exception that it raised included. Within a run the counter only advances;
// Starting() takes it up again where undo or a reset left it. Most instructions stop here.
void Profiler::Executed(unsigned int address)
{
    const unsigned long long now = emulator->Cycles();
    Counts& counts = At(address);
    ++counts.executions;
    counts.cycles += now - last;
    last = now;
    ++instructions;
    if (__builtin_expect(counts.kind != static_cast<unsigned char>(Kind::Other) + 1, false))
        Observe(counts, address);
}

// The instructions that can move between functions, a branch's outcome, and the words met
// for the first time.
void Profiler::Observe(Counts& counts, unsigned int address)
{
    if (counts.kind == 0) {
        counts.kind = static_cast<unsigned char>(kinds[document->memory->Read(address & addressMask, 16)]) + 1;
        if (counts.kind == static_cast<unsigned char>(Kind::Other) + 1)
            return;
    }
    const Register& r = registers;
    const Kind kind = static_cast<Kind>(counts.kind - 1);
    const unsigned int pc = r.pc & addressMask;
    const bool supervisor = (r.sr & Register::supervisorBit) != 0;
    switch (kind) {
    case Kind::Other: break;
    case Kind::Call: Call(counts, address, pc, r.A7(), supervisor); break;
    // The return address lay just under where the stack pointer stands now: RTS popped it,
    // RTR the condition codes below it too.
    case Kind::Return: Return(r.A7(), supervisor); break;
    case Kind::ShortBranch:
        if (pc != ((address + 2) & addressMask))
            ++counts.taken;
        break;
    case Kind::Branch:
    case Kind::DecrementBranch:
        if (pc != ((address + 4) & addressMask))
            ++counts.taken;
        break;
    case Kind::ReturnFromException:
        // In user mode, RTE is itself a privilege violation.
        if (!ExceptionTaken(kind, address, pc))
            Return(r.ssp, true);
        else
            Call(counts, address, pc, r.ssp, true);
        break;
    default:
        if (ExceptionTaken(kind, address, pc))
            Call(counts, address, pc, r.ssp, true);
        break;
    }
}

// An instruction raised an exception when the machine is in supervisor mode on the handler
// of the vector that such an instruction raises (a TRAP's own, TRAPV's, CHK's, the division
// by zero's; the illegal instruction's or the privilege violation's for the others), and
// the frame at the top of the supervisor stack holds the program counter that the exception
// stacks: the next instruction's after a TRAP, TRAPV, CHK or division (at most 10 bytes
// on), the instruction's own after a privilege violation, the word after it after an
// illegal one (the machine does not move pc back there).
bool Profiler::ExceptionTaken(Kind kind, unsigned int address, unsigned int pc) const
{
    const Register& r = registers;
    if (!(r.sr & Register::supervisorBit))
        return false;
    const Memory* memory = document->memory;
    const auto handler = [memory](int vector) { return memory->Read(unsigned(vector) * 4, 32) & addressMask; };
    const unsigned int stacked = memory->Read((r.ssp + 2) & addressMask, 32) & addressMask;
    const unsigned int after = (stacked - address) & addressMask;
    const bool next = after >= 2 && after <= 10;
    switch (kind) {
    case Kind::Trap: return next && pc == handler(Trap0 + int(memory->Read(address & addressMask, 16) & 15));
    case Kind::TrapOnOverflow: return next && pc == handler(TrapvInstruction);
    case Kind::Check: return next && pc == handler(ChkInstruction);
    case Kind::Divide: return next && pc == handler(ZeroDivide);
    default:
        return (after == 0 && pc == handler(PrivilegeViolation)) || (after == 2 && pc == handler(IllegalInstruction));
    }
}

void Profiler::Call(Counts& site, unsigned int address, unsigned int target, unsigned int slot, bool supervisor)
{
    int e = site.edge - 1;
    if (e < 0 || edges[std::size_t(e)].target != target) {
        e = EdgeIndex(address, target);
        site.edge = e + 1;
    }
    Edge& edge = edges[std::size_t(e)];
    ++edge.calls;
    if (frames.size() >= maximumDepth)
        return;
    Target& t = targets[std::size_t(edge.targetIndex)];
    frames.push_back(Frame{slot, supervisor, t.open++ == 0, e, instructions, last});
}

int Profiler::EdgeIndex(unsigned int site, unsigned int target)
{
    const unsigned long long key = (static_cast<unsigned long long>(site & addressMask) << 24) | target;
    const auto found = edgeIndex.find(key);
    if (found != edgeIndex.end())
        return found->second;
    auto t = targetIndex.find(target);
    if (t == targetIndex.end()) {
        t = targetIndex.emplace(target, int(targets.size())).first;
        targets.push_back(Target{target, 0, 0, 0});
    }
    edges.push_back(Edge{site & addressMask, target, t->second, 0, 0, 0});
    edgeIndex.emplace(key, int(edges.size()) - 1);
    return int(edges.size()) - 1;
}

// Pops the frames on that stack under its pointer after a return: the one whose return
// address it popped, and those deeper that were left without a return.
void Profiler::Return(unsigned int stackPointer, bool supervisor)
{
    while (!frames.empty()) {
        const Frame& f = frames.back();
        if (f.supervisor != supervisor || f.slot >= stackPointer)
            break;
        Close(f, edges, targets);
        frames.pop_back();
    }
}

void Profiler::Close(const Frame& frame, std::vector<Edge>& allEdges, std::vector<Target>& allTargets) const
{
    Edge& edge = allEdges[std::size_t(frame.edge)];
    const unsigned long long n = instructions - frame.instructions;
    const unsigned long long c = Since(last, frame.cycles);
    edge.instructions += n;
    edge.cycles += c;
    Target& target = allTargets[std::size_t(edge.targetIndex)];
    --target.open;
    if (frame.outermost) {
        target.instructions += n;
        target.cycles += c;
    }
}

void Profiler::Finish()
{
    const unsigned long long now = emulator->Cycles();
    if (now > last) {
        At(emulator->registers->pc & addressMask).cycles += now - last;
        last = now;
    }
}

namespace {

// Names the function that holds each address: the innermost function or label symbol that
// holds it, else the nearest label before it; in code without names, the nearest call
// target before it ("?@$001234"), else "?". Functions are numbered as they are first met.
class FunctionNames
{
public:
    FunctionNames(const SymbolTable& symbols, const LineTable& lines, std::vector<unsigned int> callTargets,
                  std::vector<Profile::Function>& functions)
        : symbols(symbols), lines(lines), targets(std::move(callTargets)), functions(functions)
    {
        std::sort(targets.begin(), targets.end());
        for (int i = 0; i < symbols.Count(); ++i) {
            const SymbolTable::Symbol& s = symbols.At(i);
            if (s.kind == SymbolTable::Label || s.kind == SymbolTable::Function)
                starts.push_back(&s);
        }
        std::stable_sort(starts.begin(), starts.end(),
                         [](const SymbolTable::Symbol* a, const SymbolTable::Symbol* b) { return a->address < b->address; });
        // The program's functions, run or not.
        for (const SymbolTable::Symbol* s : starts)
            if (s->kind == SymbolTable::Function)
                functions[std::size_t(Index(s->name, s->address))].declared = true;
    }

    int Of(unsigned int address)
    {
        unsigned int offset = 0;
        const SymbolTable::Symbol* s = symbols.Describe(address, &offset);
        if (!s || (s->kind != SymbolTable::Label && s->kind != SymbolTable::Function)) {
            s = nullptr;
            auto it = std::upper_bound(starts.begin(), starts.end(), address,
                                       [](unsigned int a, const SymbolTable::Symbol* x) { return a < x->address; });
            if (it != starts.begin()) {
                const SymbolTable::Symbol* before = *(it - 1);
                if (before->size == 0 || address - before->address < before->size)
                    s = before;
            }
        }
        if (s)
            return Index(s->name, s->address);
        const auto t = std::upper_bound(targets.begin(), targets.end(), address);
        if (t == targets.begin())
            return Index(QStringLiteral("?"), 0);
        const unsigned int start = *(t - 1);
        return Index(QStringLiteral("?@$") + QStringLiteral("%1").arg(start, 6, 16, QLatin1Char('0')).toUpper(), start);
    }

private:
    int Index(const QString& name, unsigned int address)
    {
        const auto found = byName.constFind(name);
        if (found != byName.constEnd())
            return found.value();
        Profile::Function f;
        f.name = name;
        f.address = address;
        if (const LineTable::Row* row = lines.Find(address)) {
            f.file = row->file;
            f.line = row->line;
        }
        functions.push_back(f);
        byName.insert(name, int(functions.size()) - 1);
        return int(functions.size()) - 1;
    }

    const SymbolTable& symbols;
    const LineTable& lines;
    std::vector<unsigned int> targets;
    std::vector<Profile::Function>& functions;
    std::vector<const SymbolTable::Symbol*> starts;
    QHash<QString, int> byName;
};

} // namespace

Profile Profiler::Collect() const
{
    const SymbolTable& symbols = *document->symbols;
    const LineTable& lines = *document->lines;
    Profile profile;
    profile.files = lines.Files();

    // The calls still open end where the run stopped.
    std::vector<Edge> closedEdges = edges;
    std::vector<Target> closedTargets = targets;
    for (auto f = frames.rbegin(); f != frames.rend(); ++f)
        Close(*f, closedEdges, closedTargets);

    std::vector<unsigned int> callTargets;
    for (const Target& t : closedTargets)
        callTargets.push_back(t.address);
    FunctionNames names(symbols, lines, std::move(callTargets), profile.functions);

    std::map<std::tuple<int, int, int>, Profile::Cost> costs;
    std::map<std::pair<int, int>, Profile::Line> byLine;
    for (unsigned int p = 0; p < pageCount; ++p) {
        if (!pages[p])
            continue;
        for (unsigned int i = 0; i < pageEntries; ++i) {
            const Counts& c = pages[p][i];
            if (c.executions == 0 && c.cycles == 0)
                continue;
            const unsigned int address = (p << pageBits) | (i << 1);
            profile.executed.push_back(Profile::Instruction{address, c.executions, c.cycles});
            profile.hottestInstruction = std::max(profile.hottestInstruction, c.cycles);
            const int function = names.Of(address);
            const LineTable::Row* row = lines.Find(address);
            const int file = row ? row->file : -1;
            const int line = row ? row->line : 0;
            auto cost = costs.emplace(std::make_tuple(function, file, line), Profile::Cost{function, file, line, 0, 0}).first;
            cost->second.instructions += c.executions;
            cost->second.cycles += c.cycles;
            Profile::Function& f = profile.functions[std::size_t(function)];
            f.instructions += c.executions;
            f.cycles += c.cycles;
            profile.instructions += c.executions;
            profile.cycles += c.cycles;
            if (row) {
                Profile::Line& l = byLine.emplace(std::make_pair(file, line), Profile::Line{file, line, 0, 0, 0}).first->second;
                l.executions = std::max(l.executions, c.executions);
                l.instructions += c.executions;
                l.cycles += c.cycles;
            }
        }
    }
    for (int file = 0; file < profile.files.size(); ++file)
        for (int line : lines.LinesWithCode(file))
            byLine.emplace(std::make_pair(file, line), Profile::Line{file, line, 0, 0, 0});
    for (const auto& l : byLine) {
        profile.lines.push_back(l.second);
        profile.hottestLine = std::max(profile.hottestLine, l.second.cycles);
    }
    for (const auto& c : costs)
        profile.costs.push_back(c.second);

    std::map<std::tuple<int, int, int, int>, Profile::Call> calls;
    for (const Edge& e : closedEdges) {
        const int caller = names.Of(e.site);
        const int callee = names.Of(e.target);
        const LineTable::Row* row = lines.Find(e.site);
        const int file = row ? row->file : -1;
        const int line = row ? row->line : 0;
        Profile::Call& call = calls.emplace(std::make_tuple(caller, file, line, callee),
                                            Profile::Call{caller, callee, file, line, 0, 0, 0})
                                  .first->second;
        call.calls += e.calls;
        call.instructions += e.instructions;
        call.cycles += e.cycles;
        profile.functions[std::size_t(callee)].calls += e.calls;
    }
    for (const auto& c : calls)
        profile.calls.push_back(c.second);
    for (const Target& t : closedTargets) {
        Profile::Function& f = profile.functions[std::size_t(names.Of(t.address))];
        f.inclusiveInstructions += t.instructions;
        f.inclusiveCycles += t.cycles;
    }
    // A function that nothing called (the entry point) holds its own cost and its calls'.
    for (Profile::Function& f : profile.functions) {
        if (f.calls == 0) {
            f.inclusiveInstructions = f.instructions;
            f.inclusiveCycles = f.cycles;
        }
    }
    for (const Profile::Call& c : profile.calls) {
        Profile::Function& f = profile.functions[std::size_t(c.caller)];
        if (f.calls == 0 && c.callee != c.caller) {
            f.inclusiveInstructions += c.instructions;
            f.inclusiveCycles += c.cycles;
        }
    }
    profile.branches = Branches(lines);
    return profile;
}

// Every Bcc and DBcc of the code that the line table covers, run or not, with its counts.
std::vector<Profile::Branch> Profiler::Branches(const LineTable& lines) const
{
    std::vector<Profile::Branch> branches;
    Disassembler disassembler(document->memory);
    const Memory* memory = document->memory;
    for (int i = 0; i + 1 < lines.RowCount(); ++i) {
        const LineTable::Row& row = lines.RowAt(i);
        if (row.endSequence || row.line <= 0)
            continue;
        const unsigned int end = lines.RowAt(i + 1).address;
        for (unsigned int address = row.address; address < end;) {
            const Kind kind = kinds[memory->Read(address & addressMask, 16)];
            if (kind == Kind::ShortBranch || kind == Kind::Branch || kind == Kind::DecrementBranch) {
                const Counts* c = Find(address);
                branches.push_back(Profile::Branch{row.file, row.line, address, c ? c->executions : 0, c ? c->taken : 0});
            }
            disassembler.SetStartAddress(address);
            disassembler.Disassemble();
            address = std::max(disassembler.nextAddress, address + 2);
        }
    }
    return branches;
}
