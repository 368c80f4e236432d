// Branches, jumps, subroutines, stack frames, the status register and the instructions
// that raise exceptions or need supervisor state.
#include "core/Emulator.h"

#include "core/InstructionSet.h"

namespace {

unsigned int EaMode(unsigned int opcode) { return (opcode >> 3) & 7; }
unsigned int EaReg(unsigned int opcode) { return opcode & 7; }

} // namespace

void Emulator::_Bcc()
{
    InstructionSet::Branch(*this, opcode, (opcode >> 8) & 15, (opcode & 0xFF) == 0, InstructionSet::Fixed<1>());
}

void Emulator::_DBcc()
{
    InstructionSet::DecrementAndBranch(*this, opcode, (opcode >> 8) & 15, InstructionSet::Fixed<1>());
}

void Emulator::_Scc()
{
    const bool holds = Condition(opcode >> 8);
    if (holds && EaMode(opcode) == 0)
        AddCycles(CycleTable::setTrueOnRegister);
    WriteOperand(holds ? 0xFF : 0x00, EaMode(opcode), EaReg(opcode), 8);
}

void Emulator::_JMP()
{
    InstructionSet::Jump(*this, opcode, InstructionSet::FormOf(opcode));
}

void Emulator::_JSR()
{
    InstructionSet::JumpToSubroutine(*this, opcode, InstructionSet::FormOf(opcode));
}

void Emulator::_RTS()
{
    registerFile.pc = Pop();
}

void Emulator::_RTR()
{
    Register& r = registerFile;
    unsigned int& sp = r.A7();
    const unsigned int ccr = Read(sp, 16) & Register::ccrMask;
    r.sr = (r.sr & 0xFF00) | ccr;
    sp += 2;
    r.pc = Pop();
}

void Emulator::_RTE()
{
    if (PrivilegeViolated())
        return;
    Register& r = registerFile;
    // The frame is on the supervisor stack, whatever state the popped SR selects.
    r.sr = Read(r.ssp, 16) & Register::srMask;
    r.ssp += 2;
    r.pc = Read(r.ssp, 32);
    r.ssp += 4;
}

void Emulator::_LINK()
{
    Register& r = registerFile;
    const unsigned int displacement = ExtendSign(static_cast<unsigned short>(Extension(16)));
    r.pc += 2;
    unsigned int& sp = r.A7();
    sp -= 4;
    unsigned int& an = r.AnRef(EaReg(opcode));
    Write(sp, an, 32);
    an = sp;
    sp += displacement;
}

void Emulator::_UNLK()
{
    Register& r = registerFile;
    unsigned int& sp = r.A7();
    unsigned int& an = r.AnRef(EaReg(opcode));
    sp = an;
    an = Read(sp, 32);
    sp += 4;
}

void Emulator::_NOP()
{
}

// Two bytes long here and never waits: the word after it is the next opcode.
void Emulator::_STOP()
{
}

void Emulator::_RESET()
{
    PrivilegeViolated();
}

void Emulator::_TRAP()
{
    vector = VectorNumber(Trap0 + int(opcode & 15));
}

void Emulator::_TRAPV()
{
    if (registerFile.sr & FlagV) {
        vector = TrapvInstruction;
        AddCycles(CycleTable::trapOnOverflow - CycleTable::trapOnOverflowNoTrap);
    }
}

void Emulator::_CHK()
{
    const int bound = static_cast<short>(ReadOperand(EaMode(opcode), EaReg(opcode), 16, true, true));
    const int value = static_cast<short>(registerFile.d[(opcode >> 9) & 7]);
    if (value >= 0 && value <= bound)
        return;
    SetFlags(FlagN, value < 0 ? FlagN : 0);
    vector = ChkInstruction;
    AddCycles(CycleTable::checkTrap - CycleTable::checkNoTrap);
}

void Emulator::_ILLEGAL()
{
    vector = IllegalInstruction;
}

void Emulator::_MOVEfromSR()
{
    WriteOperand(registerFile.sr, EaMode(opcode), EaReg(opcode), 16);
}

void Emulator::_MOVEtoCCR()
{
    const unsigned int value = ReadOperand(EaMode(opcode), EaReg(opcode), 16, true, true);
    registerFile.sr = (registerFile.sr & 0xFF00) | (value & Register::ccrMask);
}

void Emulator::_MOVEtoSR()
{
    if (PrivilegeViolated())
        return;
    registerFile.sr = ReadOperand(EaMode(opcode), EaReg(opcode), 16, true, true) & Register::srMask;
}

void Emulator::_ANDItoCCR()
{
    const unsigned int immediate = ReadOperand(7, 4, 8, true, true);
    Register& r = registerFile;
    r.sr = (r.sr & 0xFF00) | ((r.sr & immediate) & Register::ccrMask);
}

void Emulator::_ORItoCCR()
{
    const unsigned int immediate = ReadOperand(7, 4, 8, true, true);
    Register& r = registerFile;
    r.sr = (r.sr & 0xFF00) | (((r.sr & 0xFF) | immediate) & Register::ccrMask);
}

void Emulator::_EORItoCCR()
{
    const unsigned int immediate = ReadOperand(7, 4, 8, true, true);
    Register& r = registerFile;
    r.sr = (r.sr & 0xFF00) | (((r.sr & 0xFF) ^ immediate) & Register::ccrMask);
}

void Emulator::_ANDItoSR()
{
    if (PrivilegeViolated())
        return;
    const unsigned int immediate = ReadOperand(7, 4, 8, true, true);
    registerFile.sr = (registerFile.sr & immediate) & Register::srMask;
}

void Emulator::_ORItoSR()
{
    if (PrivilegeViolated())
        return;
    const unsigned int immediate = ReadOperand(7, 4, 8, true, true);
    registerFile.sr = (registerFile.sr | immediate) & Register::srMask;
}

void Emulator::_EORItoSR()
{
    if (PrivilegeViolated())
        return;
    const unsigned int immediate = ReadOperand(7, 4, 8, true, true);
    registerFile.sr = (registerFile.sr ^ immediate) & Register::srMask;
}

void Emulator::_MOVE_USP()
{
    if (PrivilegeViolated())
        return;
    Register& r = registerFile;
    if (opcode & 8)
        r.AnRef(EaReg(opcode)) = r.usp;
    else
        r.usp = r.AnRef(EaReg(opcode));
}
