// How long loading a 1 MiB S-Record file takes, and opening a 1 MiB ELF executable with
// 10,000 symbols and its line table.
#include "session/Document.h"
#include "core/Memory.h"
#include "program/LineTable.h"
#include "session/ProgramLoader.h"
#include "program/SRecordLoader.h"
#include "program/SymbolTable.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <memory>

int main()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("bench.hex");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    // S2 records of 32 data bytes, as the toolchain writes them, until the file holds 1 MiB.
    QByteArray text;
    unsigned int address = 0x1000;
    int bytes = 0;
    while (text.size() < 1024 * 1024) {
        QByteArray line = "S224" + QByteArray::number(address, 16).rightJustified(6, '0').toUpper();
        for (int i = 0; i < 32; ++i)
            line += QByteArray::number((address + unsigned(i)) & 0xFF, 16).rightJustified(2, '0').toUpper();
        text += line + "00\n";
        address += 32;
        bytes += 32;
    }
    file.write(text);
    file.close();

    std::unique_ptr<unsigned char[]> video(new unsigned char[MemoryBuffer::videoSize]);
    Memory memory(video.get());
    double best = 1e9;
    for (int round = 0; round < 10; ++round) {
        QElapsedTimer timer;
        timer.start();
        SRecordLoader loader(path, &memory);
        if (!loader.Load())
            return 2;
        best = qMin(best, timer.nsecsElapsed() / 1e6);
    }
    std::printf("1 MiB S-Record file (%d data bytes): best of 10 loads %.1f ms\n", bytes, best);

#ifdef LARGE_PROGRAM
    Document document;
    best = 1e9;
    for (int round = 0; round < 10; ++round) {
        QElapsedTimer timer;
        timer.start();
        ProgramLoader loader(QStringLiteral(LARGE_PROGRAM), &document);
        if (!loader.Load()) {
            std::printf("%s\n", qPrintable(loader.errorMessage));
            return 3;
        }
        best = qMin(best, timer.nsecsElapsed() / 1e6);
    }
    std::printf("%lld-byte ELF executable (%d symbols, %d lines): best of 10 opens %.1f ms\n",
                QFile(QStringLiteral(LARGE_PROGRAM)).size(), document.symbols->Count(), document.lines->RowCount(),
                best);
#endif
    return 0;
}
