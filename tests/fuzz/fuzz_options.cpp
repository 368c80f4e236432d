// zendra-run's command line on arbitrary arguments (the input split at its NUL bytes): a
// refusal always explains itself in one line, an acceptance never does, and what is accepted
// holds together.
#include "FuzzApplication.h"
#include "runner/RunOptions.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // --help writes the usage line from the application's name.
    MakeFuzzApplication("zendra-run");
    QStringList arguments{QStringLiteral("zendra-run")};
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    for (const QByteArray& part : bytes.split('\0'))
        arguments << QString::fromUtf8(part);
    RunOptions options;
    QString error;
    const bool ok = options.Parse(arguments, &error);
    if (ok == !error.isEmpty() || error.contains(QLatin1Char('\n')) || error.contains(QChar(0x2028)))
        __builtin_trap();
    if (ok && !options.help && !options.version) {
        if (options.program.isEmpty() || options.limit < 1 || options.keyInterval < 1)
            __builtin_trap();
        for (const RunOptions::Watch& w : options.watches)
            if (w.address.isEmpty() || w.length.isEmpty() || w.kind < 1 || w.kind > 3)
                __builtin_trap();
    }
    return 0;
}
