// The S-Record loader on arbitrary file contents, and the check that a reload makes first:
// it writes nothing and gives the load's own verdict, message and warning.
#include "program/SRecordLoader.h"
#include "core/Memory.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstring>
#include <memory>

namespace {

struct Machine
{
    std::unique_ptr<unsigned char[]> video{new unsigned char[MemoryBuffer::videoSize]};
    Memory memory{video.get()};
    QTemporaryDir dir;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Machine machine;
    const QString path = machine.dir.filePath(QStringLiteral("input.hex"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            __builtin_trap();
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    SRecordLoader check(path, nullptr);
    const bool checked = check.Check();
    SRecordLoader loader(path, &machine.memory);
    const bool ok = loader.Load();
    // The check says what the load says, but that it wrote data before the fault.
    const QString written = loader.dataWritten ? loader.errorMessage.left(loader.errorMessage.lastIndexOf(QLatin1Char('\n')))
                                               : loader.errorMessage;
    if (checked != ok || check.errorMessage != written || check.warning != loader.warning)
        __builtin_trap();
    // A warning is one line, and only for a file that loaded.
    if (loader.warning.contains(QLatin1Char('\n')) || (!ok && !loader.warning.isEmpty()))
        __builtin_trap();
    // A failure always explains itself; a success never does.
    if (ok == loader.errorMessage.isEmpty())
        return 0;
    __builtin_trap();
}
