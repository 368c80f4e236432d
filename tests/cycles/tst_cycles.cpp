// The machine's clock cycles: each instruction family against the counts of the 68000's
// timing tables (and the hardware's, where they differ), data-dependent cases included, in
// recorded and quick mode and through both handler tables; the counter through undo, resets
// and faults; quick against recorded mode on the compiled test programs; and the estimates
// read from an instruction's words against what it costs when it runs.
#include "core/AddressBreakpointList.h"
#include "core/BreakpointIndex.h"
#include "core/CycleEstimate.h"
#include "core/Emulator.h"
#include "core/InstructionBreakpointList.h"
#include "core/Memory.h"
#include "emulator/TestMachine.h"
#include "program/ElfLoader.h"
#include "program/ProgramImage.h"
#include "program/SRecordLoader.h"

#include <QDir>
#include <QtTest>

#include <QRandomGenerator>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

// The snippets' image and symbols, read once.
const ProgramImage& Snippets()
{
    static ProgramImage image;
    static bool loaded = false;
    if (!loaded) {
        ElfLoader loader(QStringLiteral(SNIPPETS));
        loaded = loader.Parse(&image);
        if (!loaded)
            qFatal("%s", qPrintable(loader.errorMessage));
    }
    return image;
}

unsigned int Label(const QString& name)
{
    const SymbolTable::Symbol* symbol = Snippets().symbols.Find(name);
    if (!symbol)
        qFatal("no snippet %s", qPrintable(name));
    return symbol->address;
}

enum class Mode { Recorded, Quick, Plain };

// A machine at a snippet, with the row's registers and memory, its count started at 0.
void Start(TestMachine& machine, const QString& label, const QString& before, Mode mode)
{
    machine.emulator.UseSpecialisedHandlers(mode != Mode::Plain);
    machine.Clear();
    machine.Prepare(QString());
    for (const ProgramImage::Segment& segment : Snippets().segments)
        for (int i = 0; i < segment.bytes.size(); ++i)
            machine.memory.Write(segment.address + unsigned(i), quint8(segment.bytes[i]), 8, true);
    machine.emulator.registers->pc = Label(label);
    machine.Apply(before);
    machine.emulator.ResetCycles();
}

// Runs steps instructions in each mode and says what differs from cycles; the recorded run
// must also count back to 0 when it is taken back.
QString Check(TestMachine& machine, const QString& label, const QString& before, quint64 cycles, int steps,
              const std::function<void(TestMachine&)>& patch = nullptr)
{
    QStringList problems;
    for (const Mode mode : {Mode::Recorded, Mode::Quick, Mode::Plain}) {
        Start(machine, label, before, mode);
        if (patch)
            patch(machine);
        for (int i = 0; i < steps; ++i)
            mode == Mode::Recorded ? machine.emulator.Execute() : machine.emulator.QuickExecute();
        const QString name = mode == Mode::Recorded ? QStringLiteral("recorded") : mode == Mode::Quick ? QStringLiteral("quick")
                                                                                                      : QStringLiteral("plain");
        if (!machine.emulator.errorMessage.isEmpty())
            problems << name + QStringLiteral(": ") + machine.emulator.errorMessage;
        if (machine.emulator.Cycles() != cycles)
            problems << QStringLiteral("%1: %2 cycles, not %3").arg(name).arg(machine.emulator.Cycles()).arg(cycles);
        if (mode == Mode::Recorded) {
            machine.emulator.Undo(0);
            if (machine.emulator.Cycles() != 0)
                problems << QStringLiteral("taken back: %1 cycles, not 0").arg(machine.emulator.Cycles());
        }
    }
    return problems.join(QStringLiteral("; "));
}

void Row(const char* name, const char* label, const char* before, int cycles, int steps = 1)
{
    QTest::newRow(name) << QString::fromLatin1(label) << QString::fromLatin1(before) << cycles << steps;
}

// The compiled test programs, from reset to their last instruction, a branch to itself.
QStringList Programs()
{
    const QDir directory(QStringLiteral(PROGRAM_IMAGES));
    QStringList files;
    for (const QString& name : directory.entryList({QStringLiteral("compiled_*.hex")}, QDir::Files, QDir::Name))
        files << directory.filePath(name);
    return files;
}

bool Load(TestMachine& machine, const QString& file)
{
    machine.Clear();
    SRecordLoader loader(file, &machine.memory);
    if (!loader.Load())
        return false;
    machine.emulator.Reset();
    return true;
}

bool AtEnd(TestMachine& machine)
{
    return machine.memory.Read(machine.emulator.registers->pc, 16) == 0x60FE;
}

// What one run of an instruction cost, and whether it raised an exception.
struct Measure
{
    quint64 cycles;
    bool raised;
};

// Runs the snippet at label once from before, in every mode; empty, with a problem said, when
// the modes disagree or the machine stops on an error.
QString Run(TestMachine& machine, const QString& label, const QString& before, Measure& measure)
{
    QList<Measure> measures;
    for (const Mode mode : {Mode::Recorded, Mode::Quick, Mode::Plain}) {
        Start(machine, label, before, mode);
        mode == Mode::Recorded ? machine.emulator.Execute() : machine.emulator.QuickExecute();
        if (!machine.emulator.errorMessage.isEmpty())
            return machine.emulator.errorMessage;
        measures.append({machine.emulator.Cycles(), machine.emulator.vector != NoVector});
    }
    for (const Measure& m : measures)
        if (m.cycles != measures[0].cycles || m.raised != measures[0].raised)
            return QStringLiteral("the modes disagree");
    measure = measures[0];
    return QString();
}

// An estimate against one run: what went wrong, or nothing.
QString Against(const CycleEstimate& estimate, const Measure& measure)
{
    using Exception = CycleEstimate::Exception;
    const int cycles = int(measure.cycles);
    if (measure.raised) {
        if (estimate.exception == Exception::Never)
            return QStringLiteral("raised an exception in %1 cycles, none foreseen").arg(cycles);
        if (cycles != estimate.exceptionCycles)
            return QStringLiteral("raised an exception in %1 cycles, not %2").arg(cycles).arg(estimate.exceptionCycles);
        return QString();
    }
    if (estimate.exception == Exception::Always)
        return QStringLiteral("raised no exception (%1 cycles)").arg(cycles);
    if (cycles < estimate.low || cycles > estimate.high)
        return QStringLiteral("%1 cycles, outside %2").arg(cycles).arg(estimate.Text());
    return QString();
}

} // namespace

class CycleTests : public QObject
{
    Q_OBJECT

private slots:
    void instructions_data();
    void instructions();
    void multipleRegisters();
    void everyWord();
    void history();
    void resetsAndFaults();
    void modesAgree();
    void estimates_data();
    void estimates();
    void estimatesForEveryWord();
};

void CycleTests::instructions_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("cycles");
    QTest::addColumn<int>("steps");
    const char* const data = "A0=$2000 A1=$2100";

    // MOVE: 4 + source + destination, where -(An) costs as (An).
    Row("move.b d0,d1", "move_b_dd", data, 4);
    Row("move.w a0,(a1)", "move_w_an_ind", data, 8);
    Row("move.l (a0)+,-(a1)", "move_l_post_pre", data, 20);
    Row("move.w -(a0),d1", "move_w_pre_dn", data, 10);
    Row("move.l d16(a0),abs.l", "move_l_d16_absl", data, 32);
    Row("move.w d8(a0,d1),d16(a1)", "move_w_idx_d16", data, 22);
    Row("move.l abs.w,d8(a1,d2)", "move_l_absw_idx", data, 30);
    Row("move.w d16(pc),d0", "move_w_pc_dn", data, 12);
    Row("move.l d8(pc,d1),abs.w", "move_l_pcidx_absw", data, 30);
    Row("move.l #imm,(a0)", "move_l_imm_ind", data, 20);
    Row("move.b #imm,d0", "move_b_imm_dn", data, 8);
    Row("movea.w #imm,a2", "movea_w_imm", data, 8);
    Row("movea.l (a0),a2", "movea_l_ind", data, 12);
    Row("moveq", "moveq", data, 4);

    // ADD and its kin: the long forms take 2 more from a register or an immediate.
    Row("add.w d0,d1", "add_w_dd", data, 4);
    Row("add.l d0,d1", "add_l_dd", data, 8);
    Row("add.l a0,d1", "add_l_an", data, 8);
    Row("add.l #imm,d1", "add_l_imm", data, 16);
    Row("add.l (a0),d1", "add_l_ind", data, 14);
    Row("add.w d16(a0),d1", "add_w_d16", data, 12);
    Row("add.w d1,(a0)+", "add_w_to_post", data, 12);
    Row("add.l d1,-(a0)", "add_l_to_pre", data, 22);
    Row("adda.w d0,a1", "adda_w", data, 8);
    Row("adda.l d0,a1", "adda_l_dn", data, 8);
    Row("adda.l (a0),a1", "adda_l_ind", data, 14);
    Row("adda.l #imm,a1", "adda_l_imm", data, 16);
    Row("sub.l abs.l,d1", "sub_l_absl", data, 22);
    Row("suba.w d8(a0,d0),a1", "suba_w_idx", data, 18);
    Row("cmp.l d0,d1", "cmp_l_dd", data, 6);
    Row("cmp.w (a0),d1", "cmp_w_ind", data, 8);
    Row("cmpa.w d0,a1", "cmpa_w_dn", data, 6);
    Row("cmpa.l #imm,a1", "cmpa_l_imm", data, 14);
    Row("and.l d0,d1", "and_l_dd", data, 8);
    Row("and.l #imm,d1", "and_l_imm", data, 16);
    Row("or.l (a0),d1", "or_l_ind", data, 14);
    Row("or.b d1,d16(a0)", "or_b_to_d16", data, 16);
    Row("eor.l d0,d1", "eor_l_dd", data, 8);
    Row("eor.w d0,(a0)", "eor_w_to_ind", data, 12);

    // Immediates and quick forms; ADDQ.W to An takes 8, as the hardware does.
    Row("addi.w #imm,d1", "addi_w_dn", data, 8);
    Row("addi.l #imm,d1", "addi_l_dn", data, 16);
    Row("addi.l #imm,(a0)", "addi_l_ind", data, 28);
    Row("subi.l #imm,d1", "subi_l_dn", data, 16);
    Row("andi.l #imm,d1", "andi_l_dn", data, 14);
    Row("andi.w #imm,abs.w", "andi_w_absw", data, 20);
    Row("ori.b #imm,abs.w", "ori_b_absw", data, 20);
    Row("eori.l #imm,(a0)+", "eori_l_post", data, 28);
    Row("cmpi.l #imm,d1", "cmpi_l_dn", data, 14);
    Row("cmpi.w #imm,(a0)", "cmpi_w_ind", data, 12);
    Row("cmpi.l #imm,(a0)", "cmpi_l_ind", data, 20);
    Row("addq.w d0", "addq_w_dn", data, 4);
    Row("addq.l d0", "addq_l_dn", data, 8);
    Row("addq.w a0", "addq_w_an", data, 8);
    Row("addq.l a0", "addq_l_an", data, 8);
    Row("addq.l (a0)", "addq_l_ind", data, 20);
    Row("subq.b d16(a0)", "subq_b_d16", data, 16);
    Row("subq.w a0", "subq_w_an", data, 8);

    // Extended and decimal arithmetic, register and memory forms.
    Row("addx.w d", "addx_w_dd", data, 4);
    Row("addx.l d", "addx_l_dd", data, 8);
    Row("addx.w -(a)", "addx_w_mm", data, 18);
    Row("addx.l -(a)", "addx_l_mm", data, 30);
    Row("subx.l -(a)", "subx_l_mm", data, 30);
    Row("abcd d", "abcd_dd", data, 6);
    Row("abcd -(a)", "abcd_mm", data, 18);
    Row("sbcd -(a)", "sbcd_mm", data, 18);
    Row("nbcd d0", "nbcd_dn", data, 6);
    Row("nbcd (a0)", "nbcd_ind", data, 12);
    Row("cmpm.w", "cmpm_w", data, 12);
    Row("cmpm.l", "cmpm_l", data, 20);

    // One operand.
    Row("clr.l d0", "clr_l_dn", data, 6);
    Row("clr.w (a0)", "clr_w_ind", data, 12);
    Row("clr.l (a0)+", "clr_l_post", data, 20);
    Row("neg.b d0", "neg_b_dn", data, 4);
    Row("negx.l d0", "negx_l_dn", data, 6);
    Row("not.w -(a0)", "not_w_pre", data, 14);
    Row("tst.b d0", "tst_b_dn", data, 4);
    Row("tst.l (a0)", "tst_l_ind", data, 12);
    Row("tas d0", "tas_dn", data, 4);
    Row("tas (a0)", "tas_ind", data, 14);
    Row("ext.w", "ext_w", data, 4);
    Row("ext.l", "ext_l", data, 4);
    Row("swap", "swap", data, 4);
    Row("exg", "exg", data, 6);
    Row("nop", "nop", data, 4);

    // MULU: 38 + 2 per one; MULS: 38 + 2 per change between adjacent bits, a zero appended.
    Row("mulu by 0", "mulu_dn", "D1=0", 38);
    Row("mulu by $FFFF", "mulu_dn", "D1=$FFFF", 70);
    Row("mulu by $5555", "mulu_dn", "D1=$12345555", 54);
    Row("mulu #3", "mulu_imm", data, 46);
    Row("muls by 0", "muls_dn", "D1=0", 38);
    Row("muls by -1", "muls_dn", "D1=$FFFF", 40);
    Row("muls by $5555", "muls_dn", "D1=$5555", 70);
    Row("muls by 1", "muls_dn", "D1=1", 42);
    Row("muls by $8000", "muls_dn", "D1=$8000", 40);
    Row("muls (a0)", "muls_ind", "A0=$2000 [$2000].w=$5555", 74);

    // DIVU: 76 + per step 4 without a subtraction, 2 with one, 0 after a carry; overflow 10.
    Row("divu 0/1", "divu_dn", "D0=0 D1=1", 136);
    Row("divu $FFFF/$FFFF", "divu_dn", "D0=$FFFF D1=$FFFF", 136);
    Row("divu quotient $FFFF", "divu_dn", "D0=$7FFF8000 D1=$8000", 106);
    Row("divu carries", "divu_dn", "D0=$FFFE0000 D1=$FFFF", 76);
    Row("divu overflow", "divu_dn", "D0=$20000 D1=2", 10);
    Row("divu (a0)", "divu_ind", "A0=$2000 [$2000].w=$8000 D0=$7FFF8000", 110);
    // DIVS: 120 to 126 by the signs, + 2 per zero of the quotient's upper 15 bits.
    Row("divs 0/1", "divs_dn", "D0=0 D1=1", 150);
    Row("divs -1/1", "divs_dn", "D0=-1 D1=1", 156);
    Row("divs $7FFF/1", "divs_dn", "D0=$7FFF D1=1", 122);
    Row("divs 100/-1", "divs_dn", "D0=100 D1=$FFFF", 146);
    Row("divs -100/-1", "divs_dn", "D0=-100 D1=$FFFF", 148);
    Row("divs signed overflow", "divs_dn", "D0=$8000 D1=1", 148);
    Row("divs overflow", "divs_dn", "D0=$10000 D1=1", 16);
    Row("divs negative overflow", "divs_dn", "D0=$FFFF0000 D1=1", 18);
    Row("divs d16(a0)", "divs_d16", "A0=$2000 [$2004].w=7 D0=1000", 150);

    // Shifts: 6 + 2n, 8 + 2n for a long, a register's count taken modulo 64; memory 8.
    Row("lsl.w #1", "lsl_w_1", data, 8);
    Row("lsl.w #8", "lsl_w_8", data, 22);
    Row("asr.l #1", "asr_l_1", data, 10);
    Row("ror.l #8", "ror_l_8", data, 24);
    Row("lsl.l by 0", "lsl_l_reg", "D1=0", 8);
    Row("lsl.l by 1", "lsl_l_reg", "D1=1", 10);
    Row("lsl.l by 8", "lsl_l_reg", "D1=8", 24);
    Row("lsl.l by 63", "lsl_l_reg", "D1=63", 134);
    Row("lsl.l by 64", "lsl_l_reg", "D1=64", 8);
    Row("roxr.b by 63", "roxr_b_reg", "D1=63", 132);
    Row("asl.w by $FFFFFF08", "asl_w_reg", "D1=$FFFFFF08", 22);
    Row("asl (a0)", "asl_mem_ind", data, 12);
    Row("ror d16(a0)", "ror_mem_d16", data, 16);
    Row("lsr abs.l", "lsr_mem_absl", data, 20);
    Row("movep.w to memory", "movep_w_to", data, 16);
    Row("movep.l from memory", "movep_l_from", data, 24);

    // Branches taken and not; DBcc true, branching, expired; Scc.
    Row("beq.s taken", "beq_s", "CCR=4", 10);
    Row("beq.s not taken", "beq_s", "CCR=0", 8);
    Row("beq.w taken", "beq_w", "CCR=4", 10);
    Row("beq.w not taken", "beq_w", "CCR=0", 12);
    Row("bra.s", "bra_s", "", 10);
    Row("bra.w", "bra_w", "", 10);
    Row("bsr.s", "bsr_s", "", 18);
    Row("bsr.w", "bsr_w", "", 18);
    Row("dbf branching", "dbf", "D0=5", 10);
    Row("dbf expired", "dbf", "D0=0", 14);
    Row("dbeq true", "dbeq", "CCR=4 D0=3", 12);
    Row("dbeq branching", "dbeq", "CCR=0 D0=3", 10);
    Row("dbf three times", "dbf", "D0=2", 34, 3);
    Row("seq true", "seq_dn", "CCR=4", 6);
    Row("seq false", "seq_dn", "CCR=0", 4);
    Row("seq (a0) true", "seq_ind", "A0=$2000 CCR=4", 12);
    Row("seq (a0) false", "seq_ind", "A0=$2000 CCR=0", 12);
    Row("st", "st_dn", "", 6);

    // Jumps and addresses by control mode; returns and frames.
    Row("jmp (a0)", "jmp_ind", data, 8);
    Row("jmp d16(a0)", "jmp_d16", data, 10);
    Row("jmp d8(a0,d0)", "jmp_idx", data, 14);
    Row("jmp abs.w", "jmp_absw", data, 10);
    Row("jmp abs.l", "jmp_absl", data, 12);
    Row("jmp d16(pc)", "jmp_pc", data, 10);
    Row("jmp d8(pc,d0)", "jmp_pcidx", data, 14);
    Row("jsr (a0)", "jsr_ind", data, 16);
    Row("jsr d8(a0,d0)", "jsr_idx", data, 22);
    Row("jsr abs.l", "jsr_absl", data, 20);
    Row("jsr d16(pc)", "jsr_pc", data, 18);
    Row("lea (a0)", "lea_ind", data, 4);
    Row("lea d16(a0)", "lea_d16", data, 8);
    Row("lea d8(a0,d0)", "lea_idx", data, 12);
    Row("lea abs.l", "lea_absl", data, 12);
    Row("lea d16(pc)", "lea_pc", data, 8);
    Row("pea (a0)", "pea_ind", data, 12);
    Row("pea abs.w", "pea_absw", data, 16);
    Row("pea abs.l", "pea_absl", data, 20);
    Row("pea d8(pc,d0)", "pea_pcidx", data, 20);
    Row("rts", "rts", "", 16);
    Row("rtr", "rtr", "", 20);
    Row("rte", "rte", "[$8000].w=$2700", 20);
    Row("link", "link", "", 16);
    Row("unlk", "unlk", "A6=$7000", 12);

    // The status register and bits; a bit of a register's lower half changes 2 sooner.
    Row("move to ccr", "move_to_ccr", "", 12);
    Row("move (a0) to sr", "move_to_sr_ind", "A0=$2000 [$2000].w=$2700", 16);
    Row("move sr to d0", "move_from_sr_dn", "", 6);
    Row("move sr to (a0)", "move_from_sr_ind", data, 12);
    Row("andi to ccr", "andi_ccr", "", 20);
    Row("ori to sr", "ori_sr", "", 20);
    Row("move usp", "move_usp", "", 4);
    Row("reset", "reset", "", 132);
    Row("btst d1,d0", "btst_dyn_dn", data, 6);
    Row("btst #,d0", "btst_st_dn", data, 10);
    Row("btst d1,(a0)", "btst_dyn_ind", data, 8);
    Row("btst #,(a0)", "btst_st_ind", data, 12);
    Row("bchg low bit", "bchg_dyn_dn", "D1=3", 6);
    Row("bchg bit 15", "bchg_dyn_dn", "D1=15", 6);
    Row("bchg bit 16", "bchg_dyn_dn", "D1=16", 8);
    Row("bchg high bit", "bchg_dyn_dn", "D1=20", 8);
    Row("bclr low bit", "bclr_dyn_dn", "D1=3", 8);
    Row("bclr high bit", "bclr_dyn_dn", "D1=20", 10);
    Row("bset bit 31", "bset_dyn_dn", "D1=31", 8);
    Row("bset bit 35", "bset_dyn_dn", "D1=35", 6);
    Row("bset #20,d0", "bset_st_dn", data, 12);
    Row("bset #3,d0", "bset_st_low", data, 10);
    Row("bclr #20,d0", "bclr_st_dn", data, 14);
    Row("bchg d1,(a0)", "bchg_dyn_ind", data, 12);
    Row("bset #,d16(a0)", "bset_st_d16", data, 20);

    // The exceptions, from the instruction to the handler's first fetch.
    Row("chk within", "chk_dn", "D0=5 D1=10", 10);
    Row("chk below", "chk_dn", "D0=-1 D1=10", 40);
    Row("chk above", "chk_dn", "D0=11 D1=10", 40);
    Row("chk (a0) within", "chk_ind", "A0=$2000 [$2000].w=10 D0=3", 14);
    Row("chk (a0) above", "chk_ind", "A0=$2000 [$2000].w=10 D0=20", 44);
    Row("divu by zero", "divu_dn", "D0=5 D1=0", 38);
    Row("divu (a0) by zero", "divu_ind", "A0=$2000 D0=5", 42);
    Row("divs by zero", "divs_dn", "D0=5 D1=0", 38);
    Row("trap", "trap", "", 34);
    Row("trap and the handler's nop", "trap", "", 38, 2);
    Row("trapv clear", "trapv", "CCR=0", 4);
    Row("trapv set", "trapv", "CCR=2", 34);
    Row("illegal", "illegal", "", 34);
    Row("line 1010", "line_a", "", 34);
    Row("line 1111", "line_f", "", 34);
    Row("move to sr as user", "move_to_sr_d16", "SR=0 A0=$2000", 34);
    Row("andi to sr as user", "andi_sr", "SR=0", 34);
    Row("move usp as user", "move_usp", "SR=0", 34);
    Row("reset as user", "reset", "SR=0", 34);
    Row("rte as user", "rte", "SR=0", 34);
}

void CycleTests::instructions()
{
    QFETCH(QString, label);
    QFETCH(QString, before);
    QFETCH(int, cycles);
    QFETCH(int, steps);
    static TestMachine machine;
    const QString problems = Check(machine, label, before, quint64(cycles), steps);
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

// MOVEM of 0 to 16 registers, both directions, word and long: base + 4 or 8 per register.
void CycleTests::multipleRegisters()
{
    struct Form
    {
        const char* label;
        int base;
        int perRegister;
    };
    const Form forms[] = {{"movem_l_to_pre", 8, 8},    {"movem_w_to_ind", 8, 4},  {"movem_w_from_post", 12, 4},
                          {"movem_l_from_d16", 16, 8}, {"movem_w_to_absl", 16, 4}, {"movem_l_from_pcidx", 18, 8}};
    static TestMachine machine;
    for (const Form& form : forms) {
        const QString label = QString::fromLatin1(form.label);
        for (int n = 0; n <= 16; ++n) {
            const unsigned int mask = (1u << n) - 1;
            const auto patch = [&](TestMachine& m) { m.memory.Write(Label(label) + 2, mask, 16, true); };
            const QString problems = Check(machine, label, QStringLiteral("A0=$2800 D1=0"),
                                           quint64(form.base + n * form.perRegister), 1, patch);
            QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("%1 with %2 registers: %3").arg(label).arg(n).arg(problems)));
        }
    }
}

// Every first word costs the same through the specialised handlers, which charge their fixed
// costs as constants, as through the plain ones, which read the table: each word runs from the
// same state through both, and is taken back.
void CycleTests::everyWord()
{
    static TestMachine machine;
    machine.Clear();
    machine.Prepare(QString());
    Emulator& emulator = machine.emulator;
    Register& r = *emulator.registers;
    // Extension words that make usable operands of every mode: a mask of two registers, small
    // even displacements and addresses, a divisor other than zero.
    machine.Place(TestMachine::codeAddress + 2, QStringLiteral("0102 0000 2000 0004"));
    int differences = 0;
    QString first;
    for (unsigned int word = 0; word < 0x10000; ++word) {
        machine.memory.Write(TestMachine::codeAddress, word, 16, true);
        const auto run = [&](bool specialised) {
            emulator.UseSpecialisedHandlers(specialised);
            machine.Apply(QStringLiteral("D0=$10 D1=3 D2=$12345 D3=$FFFF8000 D4=40 D5=-7 D6=$8000 D7=1"));
            for (int n = 0; n < 7; ++n)
                r.a[n] = 0x2000 + 0x200 * unsigned(n);
            r.sr = 0x2700;
            r.ssp = TestMachine::stackTop;
            r.usp = TestMachine::userStackTop;
            r.pc = TestMachine::codeAddress;
            emulator.ResetCycles();
            emulator.Execute();
            const quint64 cycles = emulator.Cycles();
            emulator.Undo(0);
            return cycles;
        };
        const quint64 specialised = run(true);
        const quint64 plain = run(false);
        if (specialised != plain && differences++ == 0)
            first = QStringLiteral("$%1: %2 cycles specialised, %3 plain").arg(word, 4, 16, QLatin1Char('0')).arg(specialised).arg(plain);
    }
    emulator.UseSpecialisedHandlers(true);
    QVERIFY2(differences == 0, qPrintable(QStringLiteral("%1 words differ, the first %2").arg(differences).arg(first)));
}

// Every instruction taken back takes the counter back to its value before it, one by one and
// through the ring's wrap; a slice counts as so many steps.
void CycleTests::history()
{
    const QStringList programs = Programs();
    QVERIFY(!programs.isEmpty());
    static TestMachine machine;
    QVERIFY(Load(machine, programs.first()));
    Emulator& emulator = machine.emulator;
    QCOMPARE(emulator.Cycles(), quint64(0));
    std::vector<quint64> counts;
    for (int i = 0; i < 3000; ++i) {
        counts.push_back(emulator.Cycles());
        emulator.Execute();
    }
    const quint64 stepped = emulator.Cycles();
    for (int i = 2999; i >= 0; --i) {
        emulator.Undo();
        QCOMPARE(emulator.Cycles(), counts[std::size_t(i)]);
    }
    QCOMPARE(emulator.Cycles(), quint64(0));
    QCOMPARE(emulator.Execute(3000), 3000LL);
    QCOMPARE(emulator.Cycles(), stepped);

    // Past the history's capacity, the oldest items dropped: taking back all that it keeps
    // leaves the count that a quick run of the instructions before them reaches.
    const long long more = emulator.undoList.capacity + 5000;
    QCOMPARE(emulator.Execute(more), more);
    emulator.Undo(0);
    static TestMachine quick;
    QVERIFY(Load(quick, programs.first()));
    quick.emulator.QuickExecute(3000 + more - emulator.undoList.capacity);
    QCOMPARE(emulator.Cycles(), quick.emulator.Cycles());
    QCOMPARE(emulator.registers->pc, quick.emulator.registers->pc);
}

// Reset and ResetCycles start the count again; an undo past that stops at 0 and the count
// resumes from there; an instruction that faults, or that the trace bit stops, costs nothing.
void CycleTests::resetsAndFaults()
{
    static TestMachine machine;
    QVERIFY(Load(machine, Programs().first()));
    Emulator& emulator = machine.emulator;
    emulator.QuickExecute(1000);
    QVERIFY(emulator.Cycles() > 1000 * 4);
    emulator.Reset();
    QCOMPARE(emulator.Cycles(), quint64(0));
    for (int i = 0; i < 10; ++i)
        emulator.Execute();
    QVERIFY(emulator.Cycles() >= 10 * 4);
    emulator.ResetCycles();
    QCOMPARE(emulator.Cycles(), quint64(0));
    std::vector<quint64> counts;
    for (int i = 0; i < 5; ++i) {
        emulator.Execute();
        counts.push_back(emulator.Cycles());
    }
    QVERIFY(counts.front() > 0);
    emulator.Undo(8);
    QCOMPARE(emulator.Cycles(), quint64(0));
    for (int i = 0; i < 3; ++i)
        emulator.QuickExecute();
    QCOMPARE(emulator.Cycles(), quint64(0));
    for (int i = 0; i < 5; ++i) {
        emulator.QuickExecute();
        QCOMPARE(emulator.Cycles(), counts[std::size_t(i)]);
    }

    // A fault in the instruction, in its exception, and the trace bit: nothing counted.
    const struct
    {
        const char* label;
        const char* before;
        const char* error;
    } stops[] = {{"move_w_pre_dn", "A0=$2003", "address"},
                 {"trap", "A7=$7001", "address"},
                 {"nop", "SR=$A700", "trace"}};
    for (const auto& stop : stops) {
        Start(machine, QString::fromLatin1(stop.label), QString::fromLatin1(stop.before), Mode::Recorded);
        emulator.Execute();
        QCOMPARE(machine.Mismatches(QStringLiteral("error=") + QString::fromLatin1(stop.error)), QString());
        QCOMPARE(emulator.Cycles(), quint64(0));
        Start(machine, QString::fromLatin1(stop.label), QString::fromLatin1(stop.before), Mode::Recorded);
        QVERIFY(emulator.Execute(10) <= 1);
        QCOMPARE(emulator.Cycles(), quint64(0));
    }
}

// Quick and recorded execution, in steps and in slices with or without breakpoints to look
// up, and the plain handlers, count the same cycles over the compiled test programs.
void CycleTests::modesAgree()
{
    AddressBreakpointList elsewhere;
    elsewhere.append(0xFF0000);
    BreakpointIndex breakpoints;
    breakpoints.Build(elsewhere, InstructionBreakpointList());
    static TestMachine machine;
    for (const QString& program : Programs()) {
        QVERIFY(Load(machine, program));
        long long length = 0;
        while (!AtEnd(machine) && machine.emulator.errorMessage.isEmpty() && length < 10000000) {
            machine.emulator.QuickExecute();
            ++length;
        }
        QVERIFY2(AtEnd(machine), qPrintable(program));
        const quint64 cycles = machine.emulator.Cycles();
        // Plausible: between the quickest instruction's 4 and 40 cycles on average.
        QVERIFY2(cycles > quint64(4 * length) && cycles < quint64(40 * length), qPrintable(program));
        const std::function<void(Emulator&)> runs[] = {
            [&](Emulator& e) { e.QuickExecute(length); },
            [&](Emulator& e) { e.QuickExecute(length, &breakpoints); },
            [&](Emulator& e) { e.Execute(length); },
            [&](Emulator& e) { e.Execute(length, &breakpoints); },
            [&](Emulator& e) {
                e.UseSpecialisedHandlers(false);
                e.QuickExecute(length);
                e.UseSpecialisedHandlers(true);
            },
        };
        int run = 0;
        for (const auto& execute : runs) {
            QVERIFY(Load(machine, program));
            execute(machine.emulator);
            QVERIFY2(AtEnd(machine), qPrintable(QStringLiteral("%1, run %2").arg(program).arg(run)));
            QCOMPARE(machine.emulator.Cycles(), cycles);
            ++run;
        }
    }
}

void CycleTests::estimates_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("data");
    const auto row = [](const char* label, const char* text, const QStringList& data) {
        QTest::newRow(label) << QString::fromLatin1(label) << QString::fromLatin1(text) << data;
    };
    const QString a0 = QStringLiteral("A0=$2000 ");

    // Fixed by the words alone.
    row("move_l_d16_absl", "32", {"A0=$2000"});
    row("add_l_imm", "16", {""});
    row("addq_w_an", "8", {""});
    row("jsr_idx", "22", {"A0=$2000 D0=0"});
    row("lsl_w_8", "22", {"D0=0"});
    // MULU and MULS: 38 to 70 by the source's bits, exact by an immediate.
    row("mulu_dn", "38-70", {"D1=0", "D1=$FFFF", "D1=$12345555", "D1=$8001"});
    row("mulu_imm", "46", {"D0=5", "D0=0"});
    row("muls_dn", "38-70", {"D1=0", "D1=$5555", "D1=$FFFF", "D1=$8000", "D1=$AAAA"});
    row("muls_ind", "42-74", {a0 + "[$2000].w=0", a0 + "[$2000].w=$5555", a0 + "[$2000].w=$F0F0"});
    row("muls_imm", "48", {"D0=7", "D0=-7"});
    // DIVU and DIVS: overflow early, the steps, and a zero divisor's exception.
    row("divu_dn", "10-136+", {"D0=0 D1=1", "D0=$20000 D1=2", "D0=$FFFF D1=$FFFF", "D0=5 D1=0", "D0=$7FFF8000 D1=$8000"});
    row("divu_ind", "14-140+", {a0 + "[$2000].w=0 D0=5", a0 + "[$2000].w=1 D0=0", a0 + "[$2000].w=3 D0=-1"});
    row("divu_imm", "14-140", {"D0=0", "D0=-1", "D0=100", "D0=$6FFFF"});
    row("divu_zero", "42", {"D0=5", "D0=0"});
    row("divs_dn", "16-156+", {"D0=0 D1=1", "D0=-1 D1=1", "D0=$10000 D1=1", "D0=$FFFF0000 D1=1", "D0=5 D1=0",
                                "D0=$8000 D1=1", "D0=-100 D1=$FFFF"});
    row("divs_imm", "20-158", {"D0=$7FFFFFFF", "D0=-1", "D0=1000", "D0=-1000"});
    // The one divisor that no positive dividend overflows before the steps.
    row("divs_imm_min", "22-158", {"D0=$80000000", "D0=-1", "D0=$7FFFFFFF", "D0=0"});
    // Shifts by a register's count, modulo 64; by the word's, exact.
    row("lsl_l_reg", "8-134", {"D1=0", "D1=1", "D1=8", "D1=63", "D1=64"});
    row("roxr_b_reg", "6-132", {"D1=63", "D1=0", "D1=9"});
    row("asl_w_reg", "6-132", {"D1=$FFFFFF08", "D1=0", "D1=$3F"});
    row("ror_l_8", "24", {"D0=-1"});
    row("asl_mem_ind", "12", {"A0=$2000"});
    // MOVEM by its mask.
    row("movem_l_five", "48", {"A0=$2800"});
    row("movem_w_from_post", "16", {"A0=$2800"});
    // Branches and loops.
    row("beq_s", "8-10", {"CCR=4", "CCR=0"});
    row("beq_w", "10-12", {"CCR=4", "CCR=0"});
    row("bra_s", "10", {"CCR=0"});
    row("bsr_w", "18", {""});
    row("dbf", "10-14", {"D0=5", "D0=0"});
    row("dbeq", "10-14", {"CCR=4 D0=3", "CCR=0 D0=3", "CCR=0 D0=0"});
    row("dbt", "12", {"D0=0", "D0=5"});
    row("seq_dn", "4-6", {"CCR=4", "CCR=0"});
    row("st_dn", "6", {""});
    row("sf_dn", "4", {""});
    row("seq_ind", "12", {"A0=$2000 CCR=4", "A0=$2000 CCR=0"});
    // Bits of a register: the lower half is quicker, but for BTST.
    row("bchg_dyn_dn", "6-8", {"D1=3", "D1=16", "D1=31", "D1=35"});
    row("bset_st_dn", "12", {"D0=0"});
    row("bset_st_low", "10", {"D0=0"});
    row("bchg_st_low", "10", {"D0=0"});
    row("bset_st_16", "12", {"D0=0"});
    row("bclr_st_15", "12", {"D0=-1"});
    row("btst_dyn_dn", "6", {"D1=3", "D1=20"});
    // What data can turn into an exception.
    row("chk_dn", "10+", {"D0=5 D1=10", "D0=-1 D1=10", "D0=11 D1=10"});
    row("chk_ind", "14+", {a0 + "[$2000].w=10 D0=3", a0 + "[$2000].w=10 D0=20"});
    row("chk_imm", "14+", {"D0=5", "D0=200"});
    row("trapv", "4+", {"CCR=0", "CCR=2"});
    row("move_to_sr_ind", "16+", {a0 + "[$2000].w=$2700", "SR=0 A0=$2000"});
    row("andi_sr", "20+", {"", "SR=0"});
    row("move_usp", "4+", {"", "SR=0"});
    row("rte", "20+", {"[$8000].w=$2700", "SR=0"});
    row("reset", "132+", {"", "SR=0"});
    // Always an exception.
    row("trap", "34", {""});
    row("illegal", "34", {""});
    row("line_a", "34", {""});
}

// Each instruction run with data that reach its estimate's extremes: every cost within them,
// both reached, and an exception, where one is foreseen, raised by some data, at its cost.
void CycleTests::estimates()
{
    QFETCH(QString, label);
    QFETCH(QString, text);
    QFETCH(QStringList, data);
    static TestMachine machine;
    Start(machine, label, QString(), Mode::Recorded);
    const CycleEstimate estimate = CycleEstimate::Of(machine.memory, Label(label));
    QCOMPARE(estimate.Text(), text);
    QList<int> costs;
    bool raised = false;
    for (const QString& before : data) {
        Measure measure {};
        const QString failed = Run(machine, label, before, measure);
        QVERIFY2(failed.isEmpty(), qPrintable(before + QStringLiteral(": ") + failed));
        const QString problem = Against(estimate, measure);
        QVERIFY2(problem.isEmpty(), qPrintable(before + QStringLiteral(": ") + problem));
        if (measure.raised)
            raised = true;
        else
            costs << int(measure.cycles);
    }
    QCOMPARE(raised, estimate.exception != CycleEstimate::Exception::Never);
    if (estimate.exception != CycleEstimate::Exception::Always) {
        QVERIFY(!costs.isEmpty());
        QCOMPARE(*std::min_element(costs.begin(), costs.end()), estimate.low);
        QCOMPARE(*std::max_element(costs.begin(), costs.end()), estimate.high);
    }
}

// Every first word, with random extension words, registers, memory and SR: what it costs lies
// within its estimate, and an exception is raised only where one is foreseen, at its cost. No
// text is wider than textWidth, nor its numbers than one cell less.
void CycleTests::estimatesForEveryWord()
{
    static TestMachine machine;
    machine.Clear();
    machine.Prepare(QString());
    Emulator& emulator = machine.emulator;
    Register& r = *emulator.registers;
    QRandomGenerator random(68000);
    // The operands that the address registers reach.
    for (unsigned int a = 0x1C00; a < 0x3000; a += 2)
        machine.memory.Write(a, random.generate() & 0xFFFF, 16, true);
    int failures = 0;
    int runs = 0;
    int widest = 0;
    int widestNumbers = 0;
    QString first;
    for (unsigned int word = 0; word < 0x10000; ++word) {
        for (int n = 0; n < 3; ++n) {
            machine.memory.Write(TestMachine::codeAddress, word, 16, true);
            // An even first extension word makes usable displacements; any mask, bit or source.
            const unsigned int extension = random.generate() & (n == 0 ? 0xFFFE : 0xFFFF);
            machine.memory.Write(TestMachine::codeAddress + 2, extension, 16, true);
            machine.memory.Write(TestMachine::codeAddress + 4, random.generate() & 0x7FFE, 16, true);
            for (int d = 0; d < 8; ++d)
                r.d[d] = random.generate() >> (random.generate() & 31);
            for (int i = 0; i < 7; ++i)
                r.a[i] = 0x2000 + 0x200 * unsigned(i);
            // Supervisor or user state, any flags, no trace.
            r.sr = (random.generate() & 0x201F) | 0x0700;
            r.ssp = TestMachine::stackTop;
            r.usp = TestMachine::userStackTop;
            r.pc = TestMachine::codeAddress;
            const CycleEstimate estimate = CycleEstimate::Of(machine.memory, TestMachine::codeAddress);
            const int suffix = estimate.exception == CycleEstimate::Exception::Sometimes ? 1 : 0;
            widest = std::max(widest, int(estimate.Text().size()));
            widestNumbers = std::max(widestNumbers, int(estimate.Text().size()) - suffix);
            emulator.ResetCycles();
            emulator.Execute();
            const Measure measure {emulator.Cycles(), emulator.vector != NoVector};
            const bool stopped = !emulator.errorMessage.isEmpty();
            emulator.Undo(0);
            emulator.errorMessage.clear();
            if (stopped)
                continue;
            ++runs;
            const QString problem = Against(estimate, measure);
            if (!problem.isEmpty() && failures++ == 0)
                first = QStringLiteral("$%1 $%2: %3").arg(word, 4, 16, QLatin1Char('0')).arg(extension, 4, 16, QLatin1Char('0')).arg(problem);
        }
    }
    QVERIFY2(failures == 0, qPrintable(QStringLiteral("%1 runs wrong, the first %2").arg(failures).arg(first)));
    QVERIFY2(runs > 3 * 0x10000 * 3 / 4, qPrintable(QString::number(runs)));
    QCOMPARE(widest, CycleEstimate::textWidth);
    // A "+" can follow the widest numbers in a column of textWidth.
    QCOMPARE(widestNumbers, CycleEstimate::textWidth - 1);
}

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    CycleTests tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "tst_cycles.moc"
