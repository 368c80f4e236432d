// Feeds a fuzz target every file of the directories named on the command line: its seed
// corpus and the inputs that once made it fail. A failing input traps, which fails the test.
#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        const QDir directory(QString::fromLocal8Bit(argv[i]));
        if (!directory.exists()) {
            std::fprintf(stderr, "no directory %s\n", argv[i]);
            return 1;
        }
        for (const QString& name : directory.entryList(QDir::Files, QDir::Name)) {
            QFile file(directory.filePath(name));
            if (!file.open(QIODevice::ReadOnly))
                return 1;
            const QByteArray data = file.readAll();
            std::printf("%s\n", qPrintable(file.fileName()));
            std::fflush(stdout);
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()));
            ++inputs;
        }
    }
    std::printf("%d inputs replayed\n", inputs);
    return inputs > 0 ? 0 : 1;
}
