// How long the state panel takes to show the machine: UpdateControl of the whole panel,
// when nothing has changed (a repaint) and when every value changes (after a step that
// wrote every register). Runs on the offscreen platform.
#include "session/Document.h"
#include "core/Emulator.h"
#include "core/Memory.h"
#include "core/Register.h"
#include "views/StateFrame.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Two machine states that differ in every register, flag and operand.
void SetState(Register* r, int which)
{
    const unsigned int base = which ? 0x00012345u : 0x00ABCDE0u;
    for (int n = 0; n < 8; ++n)
        r->d[n] = base * unsigned(n + 3);
    for (int n = 0; n < 7; ++n)
        r->a[n] = (base + 0x100u * unsigned(n)) & 0xFFFFFF;
    r->usp = base + 0x40;
    r->ssp = base + 0x80;
    r->sr = which ? 0x2700u : 0x0015u;
    r->pc = which ? 0x1000u : 0x1010u;
}

// Microseconds per call: the median of many single calls.
double Median(StateFrame& panel, Register* registers, bool change, int calls)
{
    std::vector<double> times;
    times.reserve(std::size_t(calls));
    for (int i = 0; i < calls; ++i) {
        if (change)
            SetState(registers, i & 1);
        QElapsedTimer timer;
        timer.start();
        panel.UpdateControl();
        times.push_back(timer.nsecsElapsed() / 1e3);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Document document;
    Memory* memory = document.memory;
    // Instructions with operands in memory at both program counters.
    const unsigned short code[] = {0x2A3C, 0x1234, 0x5678, 0xD1A8, 0x0010, 0x3038, 0x2000, 0x4E71,
                                   0x22D8, 0x4E75, 0x3F01, 0xC0FC, 0x0003, 0x4E71};
    for (unsigned int i = 0; i < sizeof code / sizeof code[0]; ++i) {
        memory->Write(0x1000 + 2 * i, code[i], 16, true);
        memory->Write(0x1010 + 2 * i, code[(i + 5) % (sizeof code / sizeof code[0])], 16, true);
    }
    for (unsigned int a = 0; a < 0x100000; a += 2)
        memory->Write(a + 0x10000, a * 2654435761u, 16, true);
    Register* registers = document.emulator->registers;
    SetState(registers, 0);

    StateFrame panel(nullptr, &document);
    panel.resize(743, panel.height());
    panel.show();
    QApplication::processEvents();
    panel.RecordReference();

    for (int width : {743, 1400}) {
        panel.resize(width, panel.height());
        panel.grab();
        const double same = Median(panel, registers, false, 2000);
        const double changed = Median(panel, registers, true, 2000);
        std::printf("UpdateControl at %4d px: %7.1f us unchanged, %7.1f us with every value changed\n", width, same,
                    changed);
    }
    return 0;
}
