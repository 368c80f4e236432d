// The S-Record loader: files from the real toolchain, the format's corner cases and
// every kind of bad file. The two phases of loading: an executable read into an image
// before any machine, then put into one; a file checked, as a reload does, without a
// machine and with the load's own verdict.
#include "AllocationCounter.h"
#include "core/Memory.h"
#include "program/ElfLoader.h"
#include "program/ProgramImage.h"
#include "program/SRecordLoader.h"
#include "session/Document.h"
#include "session/ProgramLoader.h"
#include "session/Session.h"
#include "program/SymbolTable.h"

#include <QtTest>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <new>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString formatError = QStringLiteral("Le fichier suivant ne contient pas un format S-Record valide :\n\"%1\"");
const QString accessError = QStringLiteral("Une erreur est survenue lors de l'accès au fichier suivant :\n\"%1\".");
const QString warning = QStringLiteral("\nDes données erronées ont probablement été écrites dans la mémoire.");
const QString elfError = QStringLiteral("Le fichier suivant n'est pas un exécutable 68000 valide :\n\"%1\"\n");
const QString missingError = QStringLiteral("Le fichier suivant n'existe pas :\n\"%1\"");
const QString folderError = QStringLiteral("Le chemin suivant est celui d'un dossier, pas d'un programme :\n\"%1\"");
const QString specialError =
    QStringLiteral("Le fichier suivant n'est pas un fichier ordinaire (périphérique, tube ou socket) :\n\"%1\"");
const QString neitherError = QStringLiteral("Le fichier suivant n'est ni un exécutable ELF ni un fichier S-Record :\n\"%1\"");
const QString nothingError = QStringLiteral("Le fichier suivant ne contient aucun octet à charger en mémoire :\n\"%1\"");

// The largest block asked of operator new since it was last set to zero: a machine's main
// memory shows there, the short-lived reads of a check do not.
std::atomic<std::size_t>& largestBlock = AllocationCounter::largest;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

QString Built(const char* name)
{
    return QStringLiteral(LOADER_IMAGES "/%1").arg(QLatin1String(name));
}

quint32 Get(const QByteArray& b, int at, int bytes)
{
    quint32 v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | quint8(b[at + i]);
    return v;
}

void Put(QByteArray& b, int at, int bytes, quint32 v)
{
    for (int i = bytes - 1; i >= 0; --i, v >>= 8)
        b[at + i] = char(v);
}

// The offset of the named section's header, from the section table.
int SectionHeader(const QByteArray& elf, const char* name)
{
    const int headers = int(Get(elf, 32, 4));
    const int names = int(Get(elf, headers + 40 * int(Get(elf, 50, 2)) + 16, 4));
    for (int i = 0; i < int(Get(elf, 48, 2)); ++i) {
        const int header = headers + 40 * i;
        if (QByteArray(elf.constData() + names + Get(elf, header, 4)) == name)
            return header;
    }
    qFatal("no section %s", name);
}

// The symbols of the toolchain's nm listing.
QHash<QString, unsigned int> Nm(const QString& path)
{
    QHash<QString, unsigned int> symbols;
    for (const QByteArray& line : ReadAll(path).split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() == 3)
            symbols.insert(QString::fromLatin1(fields[2]), fields[0].toUInt(nullptr, 16));
    }
    return symbols;
}

bool SameSegments(const ProgramImage& a, const ProgramImage& b)
{
    if (a.segments.size() != b.segments.size())
        return false;
    for (std::size_t i = 0; i < a.segments.size(); ++i) {
        const ProgramImage::Segment& s = a.segments[i];
        const ProgramImage::Segment& t = b.segments[i];
        if (s.address != t.address || s.bytes != t.bytes || s.memorySize != t.memorySize)
            return false;
    }
    return true;
}

} // namespace

class LoaderTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<unsigned char[]> video;
    std::unique_ptr<Memory> memory;
    QTemporaryDir dir;
    QString errorMessage;

    QString WriteFile(const QByteArray& contents)
    {
        static int counter = 0;
        const QString path = dir.filePath(QStringLiteral("file%1.hex").arg(++counter));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        file.write(contents);
        return path;
    }

    bool LoadPath(const QString& path)
    {
        SRecordLoader loader(path, memory.get());
        const bool ok = loader.Load();
        errorMessage = loader.errorMessage;
        return ok;
    }

    bool Load(const QByteArray& contents, QString* path = nullptr)
    {
        const QString file = WriteFile(contents);
        if (path)
            *path = file;
        return LoadPath(file);
    }

    QByteArray Bytes(unsigned int address, int count)
    {
        QByteArray bytes;
        for (int i = 0; i < count; ++i)
            bytes.append(char(memory->Read(address + unsigned(i), 8)));
        return bytes;
    }

    // Every byte of main memory and of the video area, as a program left them.
    void FillMemory(unsigned char value)
    {
        std::memset(memory->buffer.mainBuffer, value, MemoryBuffer::videoStart);
        std::memset(memory->buffer.videoBuffer, value, MemoryBuffer::videoSize);
    }

    // A well-formed record: its count, its address of the type's width, its data and its
    // checksum, as a tool writes them.
    static QByteArray Record(const char* type, unsigned int address, const QByteArray& data)
    {
        const int width = type[1] == '1' ? 2 : type[1] == '2' ? 3 : 4;
        QByteArray fields;
        fields.append(char(width + data.size() + 1));
        for (int i = width - 1; i >= 0; --i)
            fields.append(char(address >> (8 * i)));
        fields.append(data);
        unsigned int sum = 0;
        for (const char c : fields)
            sum += quint8(c);
        fields.append(char(~sum));
        return QByteArray(type) + fields.toHex().toUpper() + '\n';
    }

    bool MemoryIsZero()
    {
        for (unsigned int a = 0; a < MemoryBuffer::videoStart; ++a) {
            if (memory->buffer.mainBuffer[a])
                return false;
        }
        return true;
    }

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        video.reset(new unsigned char[MemoryBuffer::videoSize]);
        memory.reset(new Memory(video.get()));
        errorMessage.clear();
    }

    void toolchainImagesLoadByteForByte_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<unsigned int>("origin");
        QTest::addColumn<QString>("recordType");
        QTest::newRow("S1") << "loader_sample_s1" << 0x2000u << "S1";
        QTest::newRow("S2") << "loader_sample_s2" << 0x123456u << "S2";
        QTest::newRow("S3") << "loader_sample_s3" << 0x123456u << "S3";
    }

    void toolchainImagesLoadByteForByte()
    {
        QFETCH(QString, name);
        QFETCH(unsigned int, origin);
        QFETCH(QString, recordType);
        const QString base = QStringLiteral(LOADER_IMAGES "/") + name;
        QFile binary(base + ".bin");
        QVERIFY(binary.open(QIODevice::ReadOnly));
        const QByteArray image = binary.readAll();
        QVERIFY(image.size() > 256);

        QFile srec(base + ".hex");
        QVERIFY(srec.open(QIODevice::ReadOnly | QIODevice::Text));
        const QList<QByteArray> lines = srec.readAll().split('\n');
        int dataRecords = 0;
        for (const QByteArray& line : lines) {
            if (line.startsWith("S1") || line.startsWith("S2") || line.startsWith("S3")) {
                QVERIFY2(line.startsWith(recordType.toLatin1()), line.constData());
                ++dataRecords;
            }
        }
        QVERIFY(dataRecords > 3);

        QVERIFY2(LoadPath(base + ".hex"), qPrintable(errorMessage));
        QVERIFY(errorMessage.isEmpty());
        QCOMPARE(Bytes(origin, image.size()), image);
        QCOMPARE(memory->Read(origin - 1, 8), 0u);
        QCOMPARE(memory->Read(origin + unsigned(image.size()), 8), 0u);
    }

    // The same files over memory that is not zero: every byte of every record is written,
    // the zeros too, and nothing beside them.
    void toolchainImagesOverwriteEveryByte_data() { toolchainImagesLoadByteForByte_data(); }

    void toolchainImagesOverwriteEveryByte()
    {
        QFETCH(QString, name);
        QFETCH(unsigned int, origin);
        const QString base = QStringLiteral(LOADER_IMAGES "/") + name;
        QFile binary(base + ".bin");
        QVERIFY(binary.open(QIODevice::ReadOnly));
        const QByteArray image = binary.readAll();
        QVERIFY(image.count('\0') >= 8);

        FillMemory(0xA5);
        QVERIFY2(LoadPath(base + ".hex"), qPrintable(errorMessage));
        for (int i = 0; i < image.size(); ++i)
            if (memory->Read(origin + unsigned(i), 8) != quint8(image[i]))
                QFAIL(qPrintable(QStringLiteral("byte %1 of the image is $%2 in memory, not $%3")
                                     .arg(i)
                                     .arg(memory->Read(origin + unsigned(i), 8), 2, 16, QLatin1Char('0'))
                                     .arg(quint8(image[i]), 2, 16, QLatin1Char('0'))));
        QCOMPARE(memory->Read(origin - 1, 8), 0xA5u);
        QCOMPARE(memory->Read(origin + unsigned(image.size()), 8), 0xA5u);
        QCOMPARE(memory->Read(0, 32), 0xA5A5A5A5u);
    }

    // Records of every length from 1 to 64 data bytes, of the three address widths, each
    // with zeros, $FF and other values at every position: each writes exactly its bytes.
    void everyByteOfEveryRecordLength()
    {
        FillMemory(0x5A);
        QByteArray file;
        struct Written
        {
            unsigned int address;
            QByteArray data;
        };
        QVector<Written> written;
        unsigned int address = 0x1000;
        for (const char* type : {"S1", "S2", "S3"}) {
            for (int length = 1; length <= 64; ++length) {
                QByteArray data;
                for (int i = 0; i < length; ++i) {
                    static const char values[] = {'\x00', '\x01', '\xFF', '\x80', '\x5A', '\x00', '\x7F'};
                    data.append(values[(i + length) % 7]);
                }
                file += Record(type, address, data);
                written.append(Written{address, data});
                // One byte apart, which keeps its value.
                address += unsigned(length) + 1;
            }
            if (QByteArray(type) == "S1")
                address = 0x123457;
            else
                address = 0xFE0001;
        }
        QVERIFY2(Load(file), qPrintable(errorMessage));
        for (const Written& w : written) {
            const QString where = QStringLiteral("a record of %1 bytes at $%2").arg(w.data.size()).arg(w.address, 0, 16);
            QVERIFY2(Bytes(w.address, w.data.size()) == w.data, qPrintable(where));
            QVERIFY2(memory->Read(w.address - 1, 8) == 0x5Au, qPrintable(where));
            QVERIFY2(memory->Read(w.address + unsigned(w.data.size()), 8) == 0x5Au, qPrintable(where));
        }
        // A later record writes over an earlier one, its zeros too.
        QVERIFY(Load(Record("S1", 0x1001, QByteArray(3, '\0'))));
        QCOMPARE(memory->Read(0x1000, 8), quint8(written.first().data.at(0)) + 0u);
        QCOMPARE(Bytes(0x1001, 3), QByteArray(3, '\0'));
        QCOMPARE(memory->Read(0x1004, 8), 0x5Au);
    }

    void recordsThatWriteNothing()
    {
        QVERIFY(Load("S00600004844521B\nS9030000FC\n"));
        QVERIFY(Load("S5030001FB\nS70500001000EA\nS804001000EB\n"));
        QVERIFY(Load("")); // an empty file
        // Ten characters: type, count, address, checksum, no data.
        QVERIFY(Load("S103100000\n"));
        QVERIFY(MemoryIsZero());
    }

    void checksumAndByteCountAreNotRead()
    {
        SRecordLoader loader(WriteFile("S1FF1000AABBCC00\n"), memory.get());
        QVERIFY(loader.Load());
        QCOMPARE(Bytes(0x1000, 4), QByteArray("\xAA\xBB\xCC\x00", 4));
        QVERIFY(loader.warning.contains(QStringLiteral("ligne 1, l'enregistrement annonce 255 octets mais en porte 6")));
    }

    void dataFieldEndsTwoCharactersBeforeTheLineEnd()
    {
        // Two trailing blanks: the checksum becomes one more data byte.
        QVERIFY(Load("S1061000AABB55  \n"));
        QCOMPARE(Bytes(0x1000, 4), QByteArray("\xAA\xBB\x55\x00", 4));
        // An odd number of data digits: the last pair borrows a checksum digit.
        QVERIFY(Load("S1052000ABC7F\n"));
        QCOMPARE(Bytes(0x2000, 3), QByteArray("\xAB\xC7\x00", 3));
    }

    void lineEndings()
    {
        QVERIFY(Load("S1051000ABCD00\r\nS1051002EF0100\r\n"));
        QCOMPARE(memory->Read(0x1000, 32), 0xABCDEF01u);
        QVERIFY(Load("S1051004123400\nS1051006567800"));
        QCOMPARE(memory->Read(0x1004, 32), 0x12345678u);
        // A file ending with an empty line holds one record too many.
        QString path;
        QVERIFY(!Load("S1051008123400\n\n", &path));
        QCOMPARE(errorMessage, formatError.arg(path) + warning);
        QCOMPARE(memory->Read(0x1008, 16), 0x1234u);
    }

    void addressesWrapAndReachTheKeyboardArea()
    {
        QVERIFY(Load("S30801000010AB00\n"));
        QCOMPARE(memory->Read(0x10, 8), 0xABu);
        QVERIFY(Load("S206FFFFFE11223300\n"));
        QCOMPARE(memory->Read(0xFFFFFE, 16), 0x1122u);
        QCOMPARE(memory->Read(0x000000, 8), 0x33u);
        QVERIFY(Load("S10604FE0102030400\n"));
        QCOMPARE(memory->Read(0x4FE, 32), 0x01020304u);
        QVERIFY(Load("S3080000045077FF\n"));
        QCOMPARE(memory->Read(0x450, 8), 0x77u);
    }

    void formatErrorsStopTheLoad_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("blank line") << QByteArray("S0030000FC\n\nS1041001BB00\n");
        QTest::newRow("lower-case s1") << QByteArray("s1041000AA00\nS1041001BB00\n");
        QTest::newRow("S4") << QByteArray("S4041000AA00\nS1041001BB00\n");
        QTest::newRow("S6") << QByteArray("S6041000AA00\nS1041001BB00\n");
        QTest::newRow("type only") << QByteArray("S1\n");
        QTest::newRow("one character") << QByteArray("S\n");
        QTest::newRow("address not hexadecimal") << QByteArray("S1041G00AA00\n");
        QTest::newRow("blank in address") << QByteArray("S104 100AA00\n");
        QTest::newRow("0x in address") << QByteArray("S1040x10AA00\n");
        QTest::newRow("sign in data") << QByteArray("S1041000+A00\n");
        QTest::newRow("blank in data") << QByteArray("S1041000 A00\n");
        QTest::newRow("plain text") << QByteArray("Bonjour, ceci n'est pas un programme.\n");
        QTest::newRow("NUL bytes") << QByteArray("S1\0\0\0\0\0\0\0\0\n", 11);
        QTest::newRow("NUL in data") << QByteArray("S1041000\0A00\n", 13);
        QTest::newRow("accented text") << QByteArray("S1041000\xC3\xA9\x41\x30\x30\n");
    }

    void formatErrorsStopTheLoad()
    {
        QFETCH(QByteArray, contents);
        QString path;
        QVERIFY(!Load(contents, &path));
        QCOMPARE(errorMessage, formatError.arg(path));
        QCOMPARE(memory->Read(0x1001, 8), 0u); // later lines are not read
    }

    void aBadPairKeepsWhatCameBefore()
    {
        QString path;
        QVERIFY(!Load("S1051000010200\nS1051002030400\nS1061004AAG1BB00\nS1051010FFFF00\n", &path));
        QCOMPARE(errorMessage, formatError.arg(path) + warning);
        QCOMPARE(memory->Read(0x1000, 32), 0x01020304u);
        QCOMPARE(memory->Read(0x1004, 8), 0xAAu);
        QCOMPARE(memory->Read(0x1005, 8), 0u);
        QCOMPARE(memory->Read(0x1010, 8), 0u);
    }

    void aBadFirstPairHasNoWarning()
    {
        QString path;
        QVERIFY(!Load("S0030000FC\nS1051000ZZ0200\n", &path));
        QCOMPARE(errorMessage, formatError.arg(path));
    }

    void binaryGarbage()
    {
        QRandomGenerator random(1234);
        for (int round = 0; round < 50; ++round) {
            QByteArray bytes(1 + int(random.bounded(4096)), Qt::Uninitialized);
            for (char& c : bytes)
                c = char(random.bounded(256));
            if (round % 2) // let some garbage follow a real record
                bytes.prepend("S1051000ABCD00\n");
            QString path;
            const bool ok = Load(bytes, &path);
            if (!ok)
                QVERIFY(errorMessage.startsWith(formatError.arg(path)));
        }
    }

    void aOneMebibyteLine()
    {
        // 512 KiB of data bytes in one S3 record from 0x100000.
        QByteArray line("S3FF00100000");
        QByteArray pattern;
        for (int i = 0; i < 256; ++i)
            pattern.append(QByteArray::number(i, 16).rightJustified(2, '0').toUpper());
        while (line.size() < 12 + 2 * 512 * 1024)
            line.append(pattern);
        line.append("00\n");
        QVERIFY(Load(line));
        QCOMPARE(memory->Read(0x100000, 32), 0x00010203u);
        QCOMPARE(memory->Read(0x100000 + 512 * 1024 - 1, 8), 0xFFu);
        QCOMPARE(memory->Read(0x100000 + 512 * 1024, 8), 0u);

        line[line.size() - 40] = 'Q';
        QString path;
        QVERIFY(!Load(line, &path));
        QCOMPARE(errorMessage, formatError.arg(path) + warning);
    }

    void filesThatCannotBeRead()
    {
        const QString missing = dir.filePath("absent.hex");
        QVERIFY(!LoadPath(missing));
        QCOMPARE(errorMessage, accessError.arg(missing));

        QVERIFY(!LoadPath(dir.path()));
        QCOMPARE(errorMessage, accessError.arg(dir.path()));

        // A reload's check refuses them too, saying what they are.
        QString checked;
        QVERIFY(!ProgramLoader::Check(missing, &checked));
        QCOMPARE(checked, missingError.arg(missing));
        QVERIFY(!ProgramLoader::Check(dir.path(), &checked));
        QCOMPARE(checked, folderError.arg(dir.path()));

        // A file without read permission; root reads anything, so try it as nobody.
        const QString locked = WriteFile("S1041001BB00\n");
        QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
        if (geteuid() != 0) {
            QVERIFY(!LoadPath(locked));
            QCOMPARE(errorMessage, accessError.arg(locked));
        } else {
            QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7755)));
            const pid_t child = fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                const bool dropped = setgid(65534) == 0 && setuid(65534) == 0;
                const bool refused = dropped && !LoadPath(locked) && errorMessage == accessError.arg(locked);
                _exit(refused ? 0 : 1);
            }
            int status = 0;
            QCOMPARE(waitpid(child, &status, 0), child);
            QVERIFY(WIFEXITED(status));
            QCOMPARE(WEXITSTATUS(status), 0);
        }
        QVERIFY(MemoryIsZero());
    }

    // An executable's image holds each segment's file bytes where the toolchain put them and
    // the length of zeros after; put into a machine, the zeros are written, and the bytes
    // around the segments stay as they were.
    void executableImageThenMachine()
    {
        const QHash<QString, unsigned int> nm = Nm(Built("segments.nm"));
        ElfLoader loader(Built("segments.elf"));
        ProgramImage image;
        QVERIFY2(loader.Parse(&image), qPrintable(loader.errorMessage));
        QVERIFY(loader.errorMessage.isEmpty());
        QCOMPARE(int(image.segments.size()), 3);
        const ProgramImage::Segment& vectors = image.segments[0];
        const ProgramImage::Segment& code = image.segments[1];
        const ProgramImage::Segment& data = image.segments[2];
        QCOMPARE(vectors.address, 0u);
        QCOMPARE(vectors.bytes, ReadAll(Built("segments.vectors.bin")));
        QCOMPARE(vectors.memorySize, 8u);
        QCOMPARE(code.address, nm.value("start"));
        QCOMPARE(code.bytes, ReadAll(Built("segments.text.bin")));
        QCOMPARE(code.memorySize, unsigned(code.bytes.size()));
        QCOMPARE(data.address, nm.value("data"));
        QCOMPARE(data.bytes, ReadAll(Built("segments.data.bin")));
        QCOMPARE(data.memorySize, nm.value("buffer_end") - nm.value("data"));
        QVERIFY(data.memorySize > unsigned(data.bytes.size()) + 0x2FF);
        QCOMPARE(image.entry, nm.value("start"));
        for (auto it = nm.constBegin(); it != nm.constEnd(); ++it) {
            const SymbolTable::Symbol* symbol = image.symbols.Find(it.key());
            QVERIFY2(symbol && symbol->address == it.value(), qPrintable(it.key()));
        }
        const LineTable::Row* row = image.lines.Find(nm.value("start"));
        QVERIFY(row && image.lines.Files().at(row->file).endsWith(QLatin1String("segments.s")));

        Document document;
        std::fill_n(document.memory->buffer.mainBuffer, 0x8000, 0xA5);
        ProgramLoader load(Built("segments.elf"), &document);
        QVERIFY2(load.Load(), qPrintable(load.errorMessage));
        QByteArray written;
        for (unsigned int a = 0; a < 0x8000; ++a)
            written.append(char(document.memory->Read(a, 8)));
        QByteArray expected(0x8000, char(0xA5));
        for (const ProgramImage::Segment& s : image.segments)
            expected.replace(int(s.address), int(s.memorySize),
                             s.bytes + QByteArray(int(s.memorySize) - s.bytes.size(), '\0'));
        QCOMPARE(written, expected);
        QCOMPARE(document.symbols->Count(), image.symbols.Count());
        QCOMPARE(document.lines->RowCount(), image.lines.RowCount());
        QCOMPARE(document.programFile, Built("segments.elf"));
        QCOMPARE(document.programSerial, 1);
    }

    // A damaged executable is refused whole, with one message whether it is read into an
    // image, checked for a reload or loaded: the image and the machine that held another
    // program keep it, and the check builds no machine.
    void refusedExecutableChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QByteArray good = ReadAll(Built("segments.elf"));
        const int segments = int(Get(good, 28, 4));
        auto with = [&](const std::function<void(QByteArray&)>& damage) {
            QByteArray b = good;
            damage(b);
            return b;
        };
        QTest::newRow("header only") << good.left(60) << "aucun segment";
        QTest::newRow("cut in the data segment") << good.left(0x4008) << "segment 2";
        QTest::newRow("cut in the sections") << good.left(good.size() - 100) << "table des sections";
        QTest::newRow("data over the code") << with([&](QByteArray& b) { Put(b, segments + 2 * 32 + 12, 4, 0x1008); })
                                            << "Les segments 1 et 2 se chevauchent";
        // Found late, after the symbols were read.
        QTest::newRow("line table version") << with([&](QByteArray& b) {
            Put(b, int(Get(b, SectionHeader(b, ".debug_line") + 16, 4)) + 4, 2, 77);
        }) << "table des lignes";
        // The last symbol, start, the only global one.
        QTest::newRow("symbol in no section") << with([&](QByteArray& b) {
            const int symtab = SectionHeader(b, ".symtab");
            const int last = int(Get(b, symtab + 16, 4) + Get(b, symtab + 20, 4)) - 16;
            Put(b, last + 14, 2, 200);
        }) << "symbole";
    }

    void refusedExecutableChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const QString path = WriteFile(bytes);
        const QString other = Built("loader_sample_s1.elf");

        ProgramImage image;
        QVERIFY(ElfLoader(other).Parse(&image));
        const ProgramImage before = image;
        ElfLoader loader(path);
        QVERIFY(!loader.Parse(&image));
        QVERIFY2(loader.errorMessage.startsWith(elfError.arg(path)), qPrintable(loader.errorMessage));
        QVERIFY2(loader.errorMessage.contains(reason), qPrintable(loader.errorMessage));
        QVERIFY(SameSegments(image, before));
        QCOMPARE(image.symbols.Count(), before.symbols.Count());
        QVERIFY(image.symbols.Find(QStringLiteral("table")) && !image.symbols.Find(QStringLiteral("buffer")));
        QCOMPARE(image.lines.RowCount(), before.lines.RowCount());

        QString checked = QStringLiteral("?");
        largestBlock = 0;
        QVERIFY(!ProgramLoader::Check(path, &checked));
        QVERIFY(largestBlock < MemoryBuffer::videoStart);
        QCOMPARE(checked, loader.errorMessage);

        Document document;
        QVERIFY(ProgramLoader(other, &document).Load());
        QVERIFY(largestBlock >= MemoryBuffer::videoStart); // a machine does show
        const QByteArray memory(reinterpret_cast<const char*>(document.memory->buffer.mainBuffer), 0x8000);
        const int symbols = document.symbols->Count();
        ProgramLoader load(path, &document);
        QVERIFY(!load.Load());
        QCOMPARE(load.errorMessage, checked);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(document.memory->buffer.mainBuffer), 0x8000), memory);
        QCOMPARE(document.symbols->Count(), symbols);
        QVERIFY(document.symbols->Find(QStringLiteral("table")));
        QVERIFY(document.lines->IsEmpty());
        QCOMPARE(document.programFile, other);
        QCOMPARE(document.programSerial, 1);

        // The good file passes the same check, still without a machine.
        largestBlock = 0;
        QVERIFY(ProgramLoader::Check(Built("segments.elf"), &checked));
        QVERIFY(checked.isEmpty());
        QVERIFY(largestBlock < MemoryBuffer::videoStart);
    }

    // A record whose byte count or checksum is wrong still loads as it stands; the warning
    // names the first faulty line and counts the others, the same from a check, from the
    // program loader that the window and the runner share, and from a session's load. Files
    // that tools write, and the records with nothing to check, warn of nothing.
    void faultyRecordsLoadWithAWarning_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("warning");
        const QByteArray header("S00600004844521B\n");
        const QByteArray a = Record("S1", 0x1000, QByteArray("\x11\x22\x33", 3));
        const QByteArray b = Record("S2", 0x1003, QByteArray("\x44\x55", 2));
        const QByteArray c = Record("S3", 0x1005, QByteArray("\x66", 1));
        const QByteArray end("S70500001000EA\nS9030000FC\n");
        QByteArray badSum = b;
        badSum.replace(badSum.size() - 3, 2, "00");
        QByteArray badCount = a;
        badCount.replace(2, 2, "FF");
        QByteArray odd = c;
        odd.insert(odd.size() - 3, '7');
        const QString intro = QStringLiteral("Des enregistrements S-Record fautifs ont été chargés tels quels : ");
        QTest::newRow("good") << header + a + b + c + end << QString();
        QTest::newRow("checksum") << header + a + badSum + c + end
                                  << intro + QStringLiteral("ligne 3, la somme de contrôle est $00 au lieu de $%1.")
                                                 .arg(QString::fromLatin1(b.mid(b.size() - 3, 2)));
        QTest::newRow("count, then checksum") << header + badCount + c + badSum + end
                                              << intro + QStringLiteral("ligne 2, l'enregistrement annonce 255 octets "
                                                                        "mais en porte 6 (et 1 de plus).");
        QTest::newRow("odd digits") << a + odd + b << intro + QStringLiteral("ligne 2, la ligne n'a pas un nombre entier d'octets.");
        QTest::newRow("end record not hexadecimal") << a + b + c + "S9 fin\nS8GG\n"
                                                    << intro + QStringLiteral("ligne 4, le nombre d'octets est illisible (et 1 de plus).");
        QTest::newRow("no checksum") << a + "S900\n" << intro + QStringLiteral("ligne 2, l'enregistrement n'a pas de somme de contrôle.");
    }

    void faultyRecordsLoadWithAWarning()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, warning);
        const QString path = WriteFile(contents);
        QVERIFY2(LoadPath(path), qPrintable(errorMessage));
        SRecordLoader loader(path, memory.get());
        QVERIFY(loader.Load());
        QCOMPARE(loader.warning, warning);
        QVERIFY(!warning.contains(QLatin1Char('\n')));
        // The bytes are there, faulty records' too.
        QCOMPARE(Bytes(0x1000, 3), QByteArray("\x11\x22\x33", 3));
        SRecordLoader check(path, nullptr);
        QVERIFY(check.Check());
        QCOMPARE(check.warning, warning);

        Document document;
        ProgramLoader program(path, &document);
        QVERIFY2(program.Load(), qPrintable(program.errorMessage));
        QCOMPARE(program.warning, warning);
        QCOMPARE(document.memory->Read(0x1000, 16), 0x1122u);
        Session session;
        QString error;
        QString told = QStringLiteral("?");
        QVERIFY(session.Load(path, &error, &told));
        QCOMPARE(told, warning);
        told = QStringLiteral("?");
        QVERIFY(session.Reload(path, &error, &told));
        QCOMPARE(told, warning);
        // A load that cannot be made says nothing of the file before.
        QVERIFY(!session.Load(dir.filePath(QStringLiteral("absent.hex")), &error, &told));
        QVERIFY(told.isEmpty());
    }

    // What holds no program is refused by the program loader that the window and the runner
    // share, each case with its own message, by a reload's check alike; the machine and the
    // program open before stay as they were.
    void pathsThatHoldNoProgram_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("message");
        const QString missing = dir.filePath(QStringLiteral("absent.elf"));
        QTest::newRow("missing") << missing << missingError.arg(missing);
        QTest::newRow("folder") << dir.path() << folderError.arg(dir.path());
        QTest::newRow("/dev/null") << "/dev/null" << specialError.arg("/dev/null");
        QTest::newRow("/dev/zero") << "/dev/zero" << specialError.arg("/dev/zero");
        const QString fifo = dir.filePath(QStringLiteral("pipe.hex"));
        QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0 || QFileInfo(fifo).exists());
        QTest::newRow("pipe") << fifo << specialError.arg(fifo);
        const QString empty = WriteFile(QByteArray());
        QTest::newRow("empty") << empty << nothingError.arg(empty);
        const QString headerOnly = WriteFile("S00600004844521B\nS9030000FC\n");
        QTest::newRow("no data record") << headerOnly << nothingError.arg(headerOnly);
        const QString noData = WriteFile("S0 programme\nS103100000\nS9 fin\n");
        QTest::newRow("records without data") << noData << nothingError.arg(noData);
        const QString text = dir.filePath(QStringLiteral("prog.elf"));
        QFile file(text);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("Ceci n'est pas un programme.\n") > 0);
        file.close();
        QTest::newRow("text named .elf") << text << neitherError.arg(text);
        // A record's start inside a line is no record.
        const QString model = WriteFile("Le modèle S2 de la série S3\n\tS1 ou s9\n");
        QTest::newRow("record letters inside lines") << model << neitherError.arg(model);
        const QString binary = WriteFile(QByteArray("\x7F" "ELX\x01\x02\x00\x00", 8));
        QTest::newRow("almost ELF") << binary << neitherError.arg(binary);
    }

    void pathsThatHoldNoProgram()
    {
        QFETCH(QString, path);
        QFETCH(QString, message);
        const QString other = Built("loader_sample_s1.elf");
        Document document;
        QVERIFY(ProgramLoader(other, &document).Load());
        const QByteArray before(reinterpret_cast<const char*>(document.memory->buffer.mainBuffer), 0x10000);
        ProgramLoader load(path, &document);
        QVERIFY(!load.Load());
        QCOMPARE(load.errorMessage, message);
        QVERIFY(load.warning.isEmpty());
        QString checked;
        QVERIFY(!ProgramLoader::Check(path, &checked));
        QCOMPARE(checked, message);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(document.memory->buffer.mainBuffer), 0x10000), before);
        QVERIFY(document.symbols->Find(QStringLiteral("table")));
        QCOMPARE(document.programFile, other);
        QCOMPARE(document.programSerial, 1);
    }

    // Checking S-Records reads every line as a load does and stops at the same fault with
    // the same message, warning included, but writes nothing.
    void recordsCheckFindsTheLoadsFault_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("valid");
        QTest::newRow("good") << QByteArray("S0030000FC\nS1051000ABCD00\nS30801000010AB00\nS9030000FC\n") << true;
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("first line") << QByteArray("S4041000AA00\nS1041001BB00\n") << false;
        QTest::newRow("after a header") << QByteArray("S0030000FC\nS1051000ZZ0200\n") << false;
        QTest::newRow("after data") << QByteArray("S1051000010200\nS1061004AAG1BB00\nS1051010FFFF00\n") << false;
        QTest::newRow("blank line after data") << QByteArray("S1051008123400\n\n") << false;
        QTest::newRow("text after data") << QByteArray("S1051000010200\nBonjour\n") << false;
    }

    void recordsCheckFindsTheLoadsFault()
    {
        QFETCH(QByteArray, contents);
        QFETCH(bool, valid);
        const QString path = WriteFile(contents);
        SRecordLoader check(path, memory.get());
        const bool good = check.Check();
        QCOMPARE(good, valid);
        QVERIFY(MemoryIsZero());
        QString checked = QStringLiteral("?");
        largestBlock = 0;
        // A file that would load no byte is no program.
        const bool program = good && !contents.isEmpty();
        QCOMPARE(ProgramLoader::Check(path, &checked), program);
        QVERIFY(largestBlock < MemoryBuffer::videoStart);
        QCOMPARE(checked, program || !good ? check.errorMessage : nothingError.arg(path));
        QCOMPARE(LoadPath(path), good);
        // The same fault, but only the load wrote the data before it, and says so.
        QVERIFY(!check.errorMessage.contains(warning));
        QCOMPARE(errorMessage, !good && check.dataWritten ? check.errorMessage + warning : check.errorMessage);
        if (good) {
            QVERIFY(errorMessage.isEmpty());
            QCOMPARE(MemoryIsZero(), contents.isEmpty());
        } else {
            QVERIFY(errorMessage.startsWith(formatError.arg(path)));
        }
    }
};

QTEST_APPLESS_MAIN(LoaderTest)
#include "tst_loader.moc"
