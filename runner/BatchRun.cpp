#include "runner/BatchRun.h"

#include "core/Calculator.h"
#include "core/Disassembler.h"
#include "session/Document.h"
#include "core/Emulator.h"
#include "core/Hex.h"
#include "core/Memory.h"
#include "core/Register.h"
#include "program/DebugInfo.h"
#include "runner/BacktraceJson.h"
#include "runner/LcovWriter.h"
#include "session/CallgrindWriter.h"
#include "session/Profiler.h"
#include "session/Session.h"

#include <QCoreApplication>

#include <QJsonArray>
#include <limits>
#include <QJsonDocument>
#include <QJsonObject>

BatchRun::BatchRun(const RunOptions& options)
    : options(options), session(new Session), document(session->document), keyboard(document->memory)
{
}

void BatchRun::KeyEvent()
{
    const RunOptions::Key& k = options.keys.at(keyEvent / 2);
    if (keyEvent % 2 == 0) {
        keyboard.SetModifiers(k.shift, false, false);
        keyboard.Press(k.key, k.text);
    } else {
        keyboard.Release(k.key);
        keyboard.SetModifiers(false, false, false);
    }
    ++keyEvent;
}

BatchRun::~BatchRun() = default;

long long BatchRun::FirstKeyEvent() const
{
    return options.keys.isEmpty() ? -1 : options.keyInterval;
}

long long BatchRun::NextKeyEvent()
{
    KeyEvent();
    return keyEvent < 2 * options.keys.size() ? options.keyInterval : -1;
}

void BatchRun::PaceKeys()
{
    session->SetPause(FirstKeyEvent(), [this] { return NextKeyEvent(); }, PauseStart::AfterKeyboardRead);
}

bool BatchRun::Evaluate(const QString& option, const QString& text, unsigned int* value, QString* error)
{
    Calculator* calculator = document->calculator;
    calculator->expression = text;
    calculator->Calculate();
    if (!calculator->valid) {
        const QString term = text.mid(calculator->errorStart, calculator->errorEnd - calculator->errorStart);
        *error = term.isEmpty() ? QStringLiteral("%1 : l'expression « %2 » est incomplète").arg(option, text)
                                : QStringLiteral("%1 : l'expression « %2 » est invalide à « %3 »").arg(option, text, term);
        return false;
    }
    *value = calculator->result;
    return true;
}

bool BatchRun::Prepare(QString* error)
{
    if (!session->Load(options.program, error, &warning)) {
        *error = error->simplified();
        return false;
    }
    warning = warning.simplified();
    session->Reset();
    if (!options.instructionBreakpoints)
        document->instructionBreakpoints.clear();
    // The outputs last, once nothing else can refuse the run: a refused run changes no file.
    return EvaluateAll(error) && OpenOutputs(error);
}

bool BatchRun::EvaluateAll(QString* error)
{
    Emulator* emulator = document->emulator;
    unsigned int value = 0;
    if (!options.until.isEmpty()) {
        if (!Evaluate(QStringLiteral("--until"), options.until, &until, error))
            return false;
        until &= 0xFFFFFF;
        untilSet = true;
    }
    for (const QString& b : qAsConst(options.breaks)) {
        if (!Evaluate(QStringLiteral("--break"), b, &value, error))
            return false;
        document->AddAddressBreakpoint(value);
    }
    for (const auto& set : qAsConst(options.sets)) {
        if (!Evaluate(QStringLiteral("--set"), set.second, &value, error))
            return false;
        emulator->EditingRegisters();
        emulator->registers->Set(set.first, value);
    }
    for (const auto& range : qAsConst(options.memory)) {
        unsigned int start = 0;
        unsigned int length = 0;
        if (!Evaluate(QStringLiteral("--memory"), range.first, &start, error)
            || !Evaluate(QStringLiteral("--memory"), range.second, &length, error))
            return false;
        if (length == 0 || start > 0xFFFFFF || static_cast<unsigned long long>(start) + length > 0x1000000ull) {
            *error = QStringLiteral("--memory : la plage %1:%2 sort de l'espace d'adressage de 16 Mo")
                         .arg(range.first, range.second);
            return false;
        }
        ranges << qMakePair(start, length);
    }
    for (const RunOptions::Watch& watch : qAsConst(options.watches)) {
        unsigned int address = 0;
        unsigned int length = 0;
        if (!Evaluate(QStringLiteral("--watch"), watch.address, &address, error)
            || !Evaluate(QStringLiteral("--watch"), watch.length, &length, error))
            return false;
        if (length < 1 || length > ::Watchpoint::maximumLength) {
            *error = QStringLiteral("--watch : la longueur %1 n'est pas entre 1 et 65536").arg(watch.length);
            return false;
        }
        document->AddWatchpoint(::Watchpoint(address, length, static_cast<WatchKind>(watch.kind)));
    }
    return true;
}

bool BatchRun::OpenOutputs(QString* error)
{
    if (!options.trace.isEmpty())
        traceFile.reset(new OutputFile(QStringLiteral("--trace"), options.trace));
    if (!options.json.isEmpty())
        jsonFile.reset(new OutputFile(QStringLiteral("--json"), options.json, true));
    if (!options.screen.isEmpty())
        screenFile.reset(new OutputFile(QStringLiteral("--screen"), options.screen));
    if (!options.profile.isEmpty())
        profileFile.reset(new OutputFile(QStringLiteral("--profile"), options.profile));
    if (!options.coverage.isEmpty())
        coverageFile.reset(new OutputFile(QStringLiteral("--coverage"), options.coverage));
    std::unique_ptr<OutputFile>* const outputs[] = {&traceFile, &jsonFile, &screenFile, &profileFile, &coverageFile};
    // The temporary files already made go with their owners.
    const auto refuse = [&] {
        for (std::unique_ptr<OutputFile>* output : outputs)
            output->reset();
        return false;
    };
    const int count = int(sizeof outputs / sizeof outputs[0]);
    for (int i = 0; i < count; ++i) {
        for (int j = i + 1; j < count; ++j) {
            const OutputFile* a = outputs[i]->get();
            const OutputFile* b = outputs[j]->get();
            if (a && b && a->SameFile(*b)) {
                *error = QStringLiteral("%1 et %2 désignent le même fichier « %3 »").arg(a->option, b->option, b->name);
                return refuse();
            }
        }
    }
    for (std::unique_ptr<OutputFile>* output : outputs)
        if (*output && !(*output)->Open(error))
            return refuse();
    return true;
}

// Quick execution, at quick mode's speed, unless something needs each instruction's
// writes: watchpoints and the trace.
void BatchRun::Run()
{
    PaceKeys();
    RunBounds bounds;
    bounds.limit = options.limit;
    bounds.untilSet = untilSet;
    bounds.until = until;
    const bool recorded = !document->watchpoints.isEmpty() || traceFile;
    if (profileFile || coverageFile) {
        profiler.reset(new Profiler(document));
        profiler->Start();
    }
    if (traceFile)
        session->SetObserver(this);
    else if (profiler)
        session->SetObserver(profiler.get());
    const RunStop& result = session->RunHere(recorded ? RunMode : QuickStopMode, bounds);
    session->SetObserver(nullptr);
    instructions = session->Executed();
    switch (result.cause) {
    case StopCause::Until: stop = Until; break;
    case StopCause::AddressBreakpoint:
    case StopCause::InstructionBreakpoint: stop = Breakpoint; break;
    case StopCause::Watchpoint: stop = Watchpoint; break;
    case StopCause::AddressError:
    case StopCause::Trace:
        // The instruction that faulted was not executed.
        stop = Error;
        --instructions;
        break;
    default: stop = Limit; break;
    }
    if (traceFile) {
        traceFile->Device()->write(traceBuffer);
        traceBuffer.clear();
    }
}

void BatchRun::Starting()
{
    if (profiler)
        profiler->Starting();
}

void BatchRun::Stopped()
{
    if (profiler)
        profiler->Stopped();
}

void BatchRun::Executed(unsigned int address)
{
    if (profiler)
        profiler->Executed(address);
    Trace(traceBuffer);
    if (traceBuffer.size() > (1 << 20)) {
        traceFile->Device()->write(traceBuffer);
        traceBuffer.resize(0);
    }
}

namespace {

void AppendChange(QByteArray& out, const char* name, unsigned int before, unsigned int after, int digits)
{
    if (before == after)
        return;
    out.append(' ');
    out.append(name);
    out.append("=$");
    Hex::Append(out, after, digits);
}

// A field of the disassembler, without a conversion's temporary string: its characters are
// ASCII but for symbol names, which go through UTF-8.
void AppendText(QByteArray& out, const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            out.append(text.toUtf8());
            return;
        }
    }
    const int start = out.size();
    out.resize(start + text.size());
    char* p = out.data() + start;
    for (const QChar c : text)
        *p++ = char(c.unicode());
}

} // namespace

// "001004  BSR.W   $103A <init_variables>  A7=$0001FFFC": the address, the line as the views
// show it, and the registers that the instruction changed but the program counter.
void BatchRun::Trace(QByteArray& out)
{
    const UndoItemRing& items = document->emulator->undoList.items;
    const Register& after = *document->emulator->registers;
    Register before(&after);
    items.Rewind(items.count() - 1, before);
    Disassembler* d = document->disassembler;
    d->SetStartAddress(before.pc);
    d->Disassemble();
    Hex::Append(out, before.pc & 0xFFFFFF, 6);
    out.append("  ");
    AppendText(out, d->mnemonic);
    for (int i = d->mnemonic.size(); i < Disassembler::MnemonicFieldSize + 1; ++i)
        out.append(' ');
    AppendText(out, d->operand);
    // The changes after two blanks: the first change brings one of them itself.
    static const char* const dNames[] = {"D0", "D1", "D2", "D3", "D4", "D5", "D6", "D7"};
    static const char* const aNames[] = {"A0", "A1", "A2", "A3", "A4", "A5", "A6"};
    const int line = out.size();
    out.append(' ');
    for (int i = 0; i < 8; ++i)
        AppendChange(out, dNames[i], before.d[i], after.d[i], 8);
    for (int i = 0; i < 7; ++i)
        AppendChange(out, aNames[i], before.a[i], after.a[i], 8);
    AppendChange(out, "USP", before.usp, after.usp, 8);
    AppendChange(out, "SSP", before.ssp, after.ssp, 8);
    AppendChange(out, "SR", before.sr, after.sr, 4);
    if (out.size() == line + 1)
        out.chop(1);
    out.append('\n');
}

int BatchRun::ExitStatus() const
{
    switch (stop) {
    case Error: return 1;
    case Limit: return 3;
    default: return 0;
    }
}

QByteArray BatchRun::Json() const
{
    static const char* const stops[] = {"until", "breakpoint", "watchpoint", "error", "limit"};
    const Register& r = *document->emulator->registers;
    QJsonObject registers;
    for (int i = 0; i < 8; ++i)
        registers.insert(QStringLiteral("d%1").arg(i), double(r.d[i]));
    for (int i = 0; i < 8; ++i)
        registers.insert(QStringLiteral("a%1").arg(i), double(r.AnRef(unsigned(i))));
    registers.insert(QStringLiteral("usp"), double(r.usp));
    registers.insert(QStringLiteral("ssp"), double(r.ssp));
    registers.insert(QStringLiteral("pc"), double(r.pc));
    registers.insert(QStringLiteral("sr"), double(r.sr));
    QJsonObject state;
    state.insert(QStringLiteral("stop"), QLatin1String(stops[stop]));
    state.insert(QStringLiteral("message"), session->LastStop().message);
    state.insert(QStringLiteral("instructions"), double(instructions));
    state.insert(QStringLiteral("cycles"), double(document->emulator->Cycles()));
    state.insert(QStringLiteral("registers"), registers);
    if (!ranges.isEmpty()) {
        QJsonArray memory;
        for (const auto& range : ranges) {
            QByteArray bytes;
            bytes.reserve(int(range.second));
            for (unsigned int i = 0; i < range.second; ++i)
                bytes.append(char(document->memory->Read(range.first + i, 8)));
            QJsonObject block;
            block.insert(QStringLiteral("address"), double(range.first));
            block.insert(QStringLiteral("hex"), QString::fromLatin1(bytes.toHex()));
            memory.append(block);
        }
        state.insert(QStringLiteral("memory"), memory);
    }
    // A program with C functions: its call stack at the stop.
    if (!document->debugInfo->functions.empty()) {
        QString end;
        state.insert(QStringLiteral("backtrace"), BacktraceJson::Frames(*document, &end));
        if (!end.isEmpty())
            state.insert(QStringLiteral("backtraceEnd"), end);
    }
    return QJsonDocument(state).toJson(QJsonDocument::Compact) + '\n';
}

void BatchRun::WriteProfile()
{
    if (!profiler)
        return;
    const Profile profile = profiler->Collect();
    const QStringList paths = profile.SourcePaths(options.program);
    if (profileFile) {
        const QString command = QCoreApplication::arguments().join(QLatin1Char(' '));
        profileFile->Device()->write(CallgrindWriter(profile, paths, command).Write());
    }
    if (coverageFile)
        coverageFile->Device()->write(LcovWriter(profile, paths).Write());
}

bool BatchRun::Report(QString* error)
{
    WriteProfile();
    if (jsonFile)
        jsonFile->Device()->write(Json());
    if (screenFile && !document->videoImage.save(screenFile->Device(), "PNG")) {
        *error = QStringLiteral("--screen : impossible d'écrire le fichier « %1 »").arg(options.screen);
        return false;
    }
    bool written = true;
    for (const std::unique_ptr<OutputFile>* output : {&traceFile, &jsonFile, &screenFile, &profileFile, &coverageFile}) {
        QString failed;
        if (*output && !(*output)->Commit(&failed) && written) {
            *error = failed;
            written = false;
        }
    }
    return written;
}
