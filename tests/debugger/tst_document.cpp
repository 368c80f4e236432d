// The debugger's model: breakpoints, the document and every run mode of the emulation
// thread, on a real assembled program.
#include "program/SRecordLoader.h"
#include "session/Document.h"
#include "session/Emulation.h"
#include "core/Disassembler.h"
#include "core/Emulator.h"
#include "core/InstructionBreakpointList.h"
#include "core/Memory.h"
#include "core/ThreadSanitizer.h"

#include <QtTest>

#include <memory>

namespace {

const QString traceMessage = QStringLiteral("L'exception \"Trace\" a été levée par le 68000.") + QChar(0x2028)
    + QStringLiteral("Cette exception n'est pas gérée par l'émulateur.");

} // namespace

class DocumentTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Document> document;
    std::unique_ptr<Emulation> emulation;
    QHash<QString, unsigned int> symbols;

    Register& Registers() { return *document->emulator->registers; }
    unsigned int Pc() { return Registers().pc; }
    unsigned int At(const char* label)
    {
        if (!symbols.contains(label))
            qFatal("no label %s", label);
        return symbols.value(label);
    }
    // Starts the thread for real, as the application does, and waits for it to end.
    int Start(EmulationMode mode)
    {
        document->mode = mode;
        emulation->start();
        WaitForEnd();
        return emulation->result;
    }
    // A spy of QThread::finished would be written by the thread as this one reads it: the
    // end is taken by QThread::wait, which orders the thread's writes before what follows.
    void WaitForEnd()
    {
        if (!emulation->wait(20000))
            qFatal("the emulation thread did not finish");
        ThreadSanitizer::Acquire(emulation.get());
    }
    void RunTo(const char* label)
    {
        document->AddAddressBreakpoint(At(label));
        QCOMPARE(Start(RunMode), int(AddressBreak));
        document->SwapAddressBP(At(label));
        QCOMPARE(Pc(), At(label));
    }

private slots:
    void initTestCase()
    {
        QFile file(DEBUGGER_PROGRAMS "/debugger_modes.sym");
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        while (!file.atEnd()) {
            const QList<QByteArray> fields = file.readLine().simplified().split(' ');
            if (fields.size() == 3)
                symbols.insert(fields[2], fields[0].toUInt(nullptr, 16));
        }
        QVERIFY(symbols.contains("forever"));
    }

    void init()
    {
        document.reset(new Document);
        emulation.reset(new Emulation(document.get()));
        SRecordLoader loader(DEBUGGER_PROGRAMS "/debugger_modes.hex", document->memory);
        QVERIFY2(loader.Load(), qPrintable(loader.errorMessage));
        document->emulator->Reset();
        QCOMPARE(Pc(), At("start"));
    }

    void newDocument()
    {
        Document fresh;
        QCOMPARE(fresh.instructionBreakpoints, InstructionBreakpointList() << 0x4AFC);
        QVERIFY(fresh.addressBreakpoints.isEmpty());
        QVERIFY(fresh.addressBreakpointsEnabled && fresh.instructionBreakpointsEnabled);
        QCOMPARE(fresh.emulator->registers->sr, 0x2700u);
        QCOMPARE(fresh.videoImage.size(), QSize(480, 320));
        QCOMPARE(fresh.videoImage.format(), QImage::Format_Mono);
        // The image's pixels are the video area: a set bit is a white pixel at the left.
        fresh.memory->Write(0xFFB500 + 60 * 2, 0x80, 8, false);
        QCOMPARE(fresh.videoImage.pixel(0, 2), qRgb(255, 255, 255));
        QCOMPARE(fresh.videoImage.pixel(1, 2), qRgb(0, 0, 0));
        fresh.memory->Write(0xFFFFFF, 0x01, 8, false);
        QCOMPARE(fresh.videoImage.pixel(479, 319), qRgb(255, 255, 255));
    }

    void mnemonicsOfInstructionBreakpoints()
    {
        QCOMPARE(InstructionBreakpointList::GetMnemonic(0x4AFC), QString("ILLEGAL"));
        QCOMPARE(InstructionBreakpointList::GetMnemonic(0x4E40), QString("TRAP #0"));
        QCOMPARE(InstructionBreakpointList::GetMnemonic(0x4E4A), QString("TRAP #10"));
        QCOMPARE(InstructionBreakpointList::GetMnemonic(0x4E4F), QString("TRAP #15"));
        QCOMPARE(InstructionBreakpointList::GetMnemonic(0x4E70), QString("RESET"));
        QCOMPARE(InstructionBreakpointList::GetMnemonic(0x4E71), QString("NOP"));
        QCOMPARE(InstructionBreakpointList::GetMnemonic(0x4E73), QString("RTE"));
        QCOMPARE(InstructionBreakpointList::GetMnemonic(0x4E75), QString("RTS"));
        QCOMPARE(InstructionBreakpointList::GetMnemonic(0x4E76), QString("TRAPV"));
        QCOMPARE(InstructionBreakpointList::GetMnemonic(0x4E77), QString("RTR"));
        QCOMPARE(InstructionBreakpointList::GetMnemonic(0x4E72), QString("DC.W $4E72"));
        QCOMPARE(InstructionBreakpointList::GetMnemonic(0x000A), QString("DC.W $000A"));
    }

    void breakpointLists()
    {
        document->AddAddressBreakpoint(0x12001000);
        QCOMPARE(document->addressBreakpoints.value(0), 0x001000u);
        document->AddInstructionBreakpoint(0x4E75);
        document->AddInstructionBreakpoint(0x4E75);
        QCOMPARE(document->instructionBreakpoints.count(0x4E75), 2);

        document->addressBreakpoints.clear();
        document->AddAddressBreakpoint(0x2000);
        document->AddAddressBreakpoint(0x2000);
        document->SwapAddressBP(0x3000);
        document->SwapAddressBP(0x3000);
        QCOMPARE(document->addressBreakpoints, AddressBreakpointList() << 0x2000 << 0x2000);
        document->SwapAddressBP(0xFF002000); // masked, removes one of the two
        QCOMPARE(document->addressBreakpoints, AddressBreakpointList() << 0x2000);
    }

    void breakpointPrecedence()
    {
        const unsigned int illegal = At("illegal_here");
        Breakpoint b = document->GetBreakpoint(illegal);
        QCOMPARE(b.type, InstructionBreakpoint);
        QVERIFY(b.enabled);

        document->AddAddressBreakpoint(illegal);
        b = document->GetBreakpoint(illegal | 0xAB000000);
        QCOMPARE(b.type, InstructionBreakpoint);
        QVERIFY(b.enabled);

        document->instructionBreakpointsEnabled = false;
        b = document->GetBreakpoint(illegal);
        QCOMPARE(b.type, AddressBreakpoint);
        QVERIFY(b.enabled);

        document->addressBreakpointsEnabled = false;
        b = document->GetBreakpoint(illegal);
        QCOMPARE(b.type, InstructionBreakpoint);
        QVERIFY(!b.enabled);

        b = document->GetBreakpoint(At("start"));
        QCOMPARE(b.type, NoBreakpoint);
        document->AddAddressBreakpoint(At("start"));
        b = document->GetBreakpoint();
        QCOMPARE(b.type, AddressBreakpoint);
        QVERIFY(!b.enabled);

        // Any pc, odd or beyond 24 bits, is looked up without a fault.
        for (unsigned int pc : {0x1u, 0xFFFFFFu, 0xFFFFFFFFu, 0x80000001u}) {
            Registers().pc = pc;
            document->GetBreakpoint();
            document->IsInstructionBreakpoint();
            document->IsRTS();
            document->IsJSR();
            document->Skip();
        }
    }

    void callAndReturnRecognition_data()
    {
        QTest::addColumn<uint>("word");
        QTest::addColumn<bool>("jsr");
        QTest::addColumn<bool>("rts");
        QTest::newRow("BSR.W") << 0x6100u << true << false;
        QTest::newRow("BSR.S") << 0x61FEu << true << false;
        QTest::newRow("JSR abs.L") << 0x4EB9u << true << false;
        QTest::newRow("JSR (A0)") << 0x4E90u << true << false;
        QTest::newRow("JMP abs.L") << 0x4EF9u << false << false;
        QTest::newRow("BRA") << 0x6000u << false << false;
        QTest::newRow("RTS") << 0x4E75u << false << true;
        QTest::newRow("RTE") << 0x4E73u << false << false;
        QTest::newRow("RTR") << 0x4E77u << false << false;
    }

    void callAndReturnRecognition()
    {
        QFETCH(uint, word);
        QFETCH(bool, jsr);
        QFETCH(bool, rts);
        document->memory->Write(0x3001, word, 16, false);
        Registers().pc = 0x3001; // odd: read without a fault
        QCOMPARE(document->IsJSR(), jsr);
        QCOMPARE(document->IsRTS(), rts);
    }

    void skipSteps()
    {
        // MOVE.L #imm,abs.L: two long extensions.
        document->memory->Write(0x3000, 0x23FC, 16, false);
        Registers().pc = 0x3000;
        document->emulator->errorMessage = "kept";
        document->Skip();
        QCOMPARE(Pc(), 0x300Au);
        QCOMPARE(document->emulator->errorMessage, QString("kept"));
        QCOMPARE(document->emulator->undoList.items.count(), 0);
        Registers().pc = 0x3000 + 4;
        document->Skip(); // DC.W $0000... is ORI.B #0,D0: 4 bytes
        QCOMPARE(Pc(), 0x3008u);
    }

    void stepIntoHonoursBreakpoints()
    {
        QCOMPARE(Start(StepIntoMode), int(Done));
        QCOMPARE(Pc(), At("call_outer"));
        document->AddAddressBreakpoint(At("call_outer"));
        QCOMPARE(Start(StepIntoMode), int(AddressBreak));
        QCOMPARE(Pc(), At("call_outer"));
        QCOMPARE(Start(StepIntoNoBreakMode), int(Done));
        QCOMPARE(Pc(), At("outer"));

        QCOMPARE(Start(RunMode), int(InstructionBreak));
        QCOMPARE(Pc(), At("illegal_here"));
        QCOMPARE(Start(StepIntoMode), int(InstructionBreak));
        QCOMPARE(Pc(), At("illegal_here"));
        const int history = document->emulator->undoList.items.count();
        // Enabled or not, the no-break step skips it.
        QCOMPARE(Start(StepIntoNoBreakMode), int(Done));
        QCOMPARE(Pc(), At("after_illegal"));
        QCOMPARE(document->emulator->undoList.items.count(), history);

        Registers().pc = At("illegal_here");
        document->instructionBreakpointsEnabled = false;
        QCOMPARE(Start(StepIntoMode), int(Done));
        QCOMPARE(Pc(), At("after_illegal"));
    }

    void stepOverANestedCall()
    {
        QCOMPARE(Start(StepIntoMode), int(Done));
        QCOMPARE(Start(StepOverMode), int(ReturnReached));
        QCOMPARE(Pc(), At("after_outer"));
        QCOMPARE(Registers().d[0], 3u);
        // Not a call: one step.
        QCOMPARE(Start(StepOverMode), int(Done));
        QCOMPARE(Pc(), At("call_leaf"));
        QCOMPARE(Start(StepOverNoBreakMode), int(ReturnReached));
        QCOMPARE(Pc(), At("after_leaf"));
        QCOMPARE(Start(StepOverNoBreakMode), int(Done)); // skips the ILLEGAL
        QCOMPARE(Pc(), At("after_illegal"));
    }

    void stepOverStopsAtABreakpointInside()
    {
        RunTo("call_outer");
        document->AddAddressBreakpoint(At("inner"));
        QCOMPARE(Start(StepOverMode), int(AddressBreak));
        QCOMPARE(Pc(), At("inner"));
        document->addressBreakpointsEnabled = false;
        QCOMPARE(Start(StepOutMode), int(ReturnReached));
        QCOMPARE(Pc(), At("outer_rts") - 2);
    }

    void stepOutFromTheMainProgram()
    {
        document->instructionBreakpointsEnabled = false;
        QCOMPARE(Start(StepOutMode), int(ReturnReached));
        QCOMPARE(Registers().d[1], 0u);
        QCOMPARE(Registers().d[2], 1u); // the trap handler's RTE did not count
        QCOMPARE(Registers().pc, 0u);    // popped from the empty stack at 0x10000

        init();
        QCOMPARE(Start(StepOutNoBreakMode), int(ReturnReached));
        QCOMPARE(Registers().d[2], 1u);
    }

    void stepOutStopsAtAnEnabledInstructionBreakpoint()
    {
        QCOMPARE(Start(StepOutMode), int(InstructionBreak));
        QCOMPARE(Pc(), At("illegal_here"));
    }

    void runStopsBeforeBreakpoints()
    {
        QCOMPARE(Start(RunMode), int(InstructionBreak));
        QCOMPARE(Pc(), At("illegal_here"));
        QCOMPARE(Registers().d[0], 4u);
        // Starting on an enabled breakpoint executes nothing.
        const int history = document->emulator->undoList.items.count();
        QCOMPARE(Start(RunMode), int(InstructionBreak));
        QCOMPARE(document->emulator->undoList.items.count(), history);

        document->AddAddressBreakpoint(At("loop_top"));
        document->instructionBreakpointsEnabled = false;
        QCOMPARE(Start(RunMode), int(AddressBreak));
        QCOMPARE(Pc(), At("loop_top"));
        QCOMPARE(Registers().d[1], 3u);
        QCOMPARE(Start(RunMode), int(AddressBreak)); // executes nothing
        QCOMPARE(Registers().d[1], 3u);
        QCOMPARE(Start(StepIntoMode), int(AddressBreak));
        QCOMPARE(Start(StepIntoNoBreakMode), int(Done));
        QCOMPARE(Start(RunMode), int(AddressBreak));
        QCOMPARE(Registers().d[1], 2u);

        // A disabled address breakpoint has no effect.
        document->addressBreakpointsEnabled = false;
        document->AddInstructionBreakpoint(0x4E40); // TRAP #0
        document->instructionBreakpointsEnabled = true;
        QCOMPARE(Start(RunMode), int(InstructionBreak));
        QCOMPARE(Pc(), At("before_rts") - 2);
        QCOMPARE(Registers().d[1], 0u);
    }

    void undoMode()
    {
        const unsigned int start = Pc();
        for (int i = 0; i < 4; ++i)
            QCOMPARE(Start(StepIntoMode), int(Done));
        QCOMPARE(Pc(), At("inner"));
        document->undoCount = 1;
        QCOMPARE(Start(UndoMode), int(Done));
        QCOMPARE(Pc(), At("outer") + 2);
        QCOMPARE(document->emulator->undoList.items.count(), 3);
        document->undoCount = 0;
        QCOMPARE(Start(UndoMode), int(Done));
        QCOMPARE(Pc(), start);
        QCOMPARE(Registers().d[0], 0u);
        QCOMPARE(document->emulator->undoList.items.count(), 0);

        document->mode = EmulationMode(42);
        QCOMPARE(emulation->StartEmulation(), int(Done));
        QCOMPARE(Pc(), start);
    }

    void traceStopsEveryMode()
    {
        Registers().sr |= Register::traceBit;
        for (EmulationMode mode : {StepIntoMode, StepIntoNoBreakMode, StepOverMode, StepOverNoBreakMode, StepOutMode,
                                   StepOutNoBreakMode, RunMode, QuickRunMode}) {
            QCOMPARE(Start(mode), int(Exception));
            QCOMPARE(Pc(), At("start"));
            QCOMPARE(document->emulator->errorMessage, traceMessage);
        }
        QCOMPARE(document->emulator->undoList.items.count(), 0);
        // A skip keeps the message of the earlier stop.
        Registers().pc = At("illegal_here");
        QCOMPARE(Start(StepIntoNoBreakMode), int(Exception));
        QCOMPARE(Pc(), At("after_illegal"));
    }

    void stopRequests_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("run") << int(RunMode);
        QTest::newRow("quick run") << int(QuickRunMode);
        QTest::newRow("step out") << int(StepOutMode);
        QTest::newRow("step out without breakpoints") << int(StepOutNoBreakMode);
    }

    void stopRequests()
    {
        QFETCH(int, mode);
        QCOMPARE(Start(StepIntoMode), int(Done)); // leaves one item in the history
        Registers().pc = At("forever");
        document->mode = EmulationMode(mode);
        emulation->start();
        QTest::qWait(100);
        QVERIFY(emulation->isRunning());
        emulation->requestInterruption();
        WaitForEnd();
        QCOMPARE(emulation->result, int(Done));

        // The state after the last executed instruction: a loop of two instructions.
        const unsigned int count = Registers().d[0];
        QVERIFY(count > 0);
        const UndoList& history = document->emulator->undoList;
        if (mode == QuickRunMode) {
            QCOMPARE(history.items.count(), 0);
        } else {
            const unsigned int executed = unsigned(history.items.count()) - 1;
            if (history.items.count() < history.capacity)
                QVERIFY(executed == 2 * count || executed == 2 * count - 1);
            // Taking the last instruction back gives the state before it.
            const unsigned int pc = Pc();
            document->emulator->Undo();
            QVERIFY(Pc() != pc);
        }
        QVERIFY(Pc() == At("forever") || Pc() == At("forever") + 2);
    }

    // The views disassemble while a run goes, with the document's disassembler; the run
    // skips a disabled instruction breakpoint at every turn of the loop. Each disassembles
    // what it asked for.
    void viewsDisassembleWhileARunSkips()
    {
        document->AddInstructionBreakpoint(0x5280); // the loop's ADDQ.L #1,D0
        document->instructionBreakpointsEnabled = false;
        Registers().pc = At("forever");
        document->mode = RunMode;
        emulation->start();
        Disassembler* disassembler = document->disassembler;
        int disassembled = 0;
        int wrong = 0;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 200) {
            disassembler->SetStartAddress(At("start"));
            disassembler->Disassemble();
            wrong += disassembler->mnemonic != QLatin1String("MOVEQ.L") || disassembler->nextAddress != At("call_outer");
            ++disassembled;
        }
        QVERIFY(emulation->isRunning());
        emulation->requestInterruption();
        WaitForEnd();
        QCOMPARE(wrong, 0);
        QVERIFY(disassembled > 100);
        QCOMPARE(emulation->result, int(Done));
        // Every ADDQ was skipped.
        QCOMPARE(Registers().d[0], 0u);
        QVERIFY(Pc() == At("forever") || Pc() == At("forever") + 2);
    }

    void aRunWithManyBreakpointsAnswersAsTheLists()
    {
        for (unsigned int a = 0x20000; a < 0x20000 + 2000; a += 2)
            document->AddAddressBreakpoint(a);
        // An entry beyond 24 bits, put in the list directly, matches no address.
        document->addressBreakpoints.append(0x01000000 | At("loop_top"));
        document->AddInstructionBreakpoint(0x4E40); // TRAP #0
        Registers().pc = At("after_illegal");
        QCOMPARE(Start(RunMode), int(InstructionBreak));
        QCOMPARE(Registers().d[1], 0u);

        Registers().pc = At("after_illegal");
        document->AddAddressBreakpoint(At("loop_top"));
        QCOMPARE(Start(RunMode), int(AddressBreak));
        QCOMPARE(Pc(), At("loop_top"));
        QCOMPARE(Registers().d[1], 3u);
        // The run left the lists as they were.
        QCOMPARE(document->addressBreakpoints.size(), 1002);
        QCOMPARE(document->GetBreakpoint(At("loop_top")).type, AddressBreakpoint);
        QCOMPARE(document->GetBreakpoint(At("loop_top") + 2).type, NoBreakpoint);
    }
};

QTEST_MAIN(DocumentTest)
#include "tst_document.moc"
