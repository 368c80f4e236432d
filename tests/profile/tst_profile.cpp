// The profile and the coverage of a C program, as the field's tools read them: zendra-run's
// callgrind file against its own JSON, then callgrind_annotate's and genhtml's readings of
// them when those tools are installed.
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "ChildProcess.h"

namespace {

using Process = ChildProcess;

Process Start(const QString& program, const QStringList& arguments, const QString& folder = QString())
{
    return ChildProcess::Run(program, arguments, folder);
}

// The template copied with profiled.c as its main.c, and built.
bool Build(const QString& folder)
{
    const QDir from(QStringLiteral(TEMPLATE));
    for (const QString& name : from.entryList({"*.s", "*.ld", "Makefile"}, QDir::Files))
        if (!QFile::copy(from.filePath(name), QDir(folder).filePath(name)))
            return false;
    if (!QFile::copy(QStringLiteral(PROFILED), QDir(folder).filePath("main.c")))
        return false;
    const Process make = Start(QStringLiteral(MAKE), {QStringLiteral("CROSS_COMPILE=" CROSS_COMPILE)}, folder);
    if (make.status != 0)
        qWarning("%s", make.err.constData());
    return make.status == 0;
}

QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The last numbers of "totals:" or "summary:".
QList<qulonglong> Numbers(const QByteArray& text, const QByteArray& key)
{
    QList<qulonglong> numbers;
    for (const QByteArray& line : text.split('\n'))
        if (line.startsWith(key))
            for (const QByteArray& n : line.mid(key.size()).simplified().split(' '))
                numbers << n.toULongLong();
    return numbers;
}

// Each callee's calls, summed over the calls= lines that follow its cfn=.
QHash<QString, qulonglong> Calls(const QByteArray& profile)
{
    QHash<int, QString> names;
    QHash<QString, qulonglong> calls;
    QString callee;
    const QRegularExpression named(QStringLiteral("^c?fn=\\((\\d+)\\)(?: (.*))?$"));
    for (const QByteArray& line : profile.split('\n')) {
        const QRegularExpressionMatch m = named.match(QString::fromUtf8(line));
        if (m.hasMatch()) {
            if (!m.captured(2).isEmpty())
                names.insert(m.captured(1).toInt(), m.captured(2));
            if (line.startsWith("cfn="))
                callee = names.value(m.captured(1).toInt());
        } else if (line.startsWith("calls=")) {
            calls[callee] += line.mid(6).split(' ').first().toULongLong();
        }
    }
    return calls;
}

// The number of a genhtml-free reading: "FNDA:count,name".
qlonglong FunctionCount(const QByteArray& lcov, const QByteArray& name)
{
    for (const QByteArray& line : lcov.split('\n'))
        if (line.startsWith("FNDA:") && line.endsWith(',' + name))
            return line.mid(5, line.indexOf(',') - 5).toLongLong();
    return -1;
}

} // namespace

class ProfileTest : public QObject
{
    Q_OBJECT

private slots:
    void callgrindAndLcovOfACProgram();
};

// One program, profiled: the profile's totals are the JSON's cycles and instructions, the
// run's result is the unprofiled run's, each function's calls are counted (the recursion's
// 177, the hot function's 20, a function never called has none), and coverage says which
// lines, functions and branches ran; then the field's own tools read both files.
void ProfileTest::callgrindAndLcovOfACProgram()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QVERIFY(Build(folder.path()));
    const QString elf = folder.filePath("main.elf");
    const QString profilePath = folder.filePath("callgrind.out.main");
    const QString coveragePath = folder.filePath("main.info");

    const Process plain = Start(QStringLiteral(RUNNER), {elf, "--until", "done", "--json", "-"});
    QCOMPARE(plain.status, 0);
    const QJsonObject plainJson = QJsonDocument::fromJson(plain.out).object();
    const Process profiled = Start(QStringLiteral(RUNNER),
                                   {elf, "--until", "done", "--json", "-", "--profile", profilePath, "--coverage", coveragePath});
    QCOMPARE(profiled.status, 0);
    const QJsonObject json = QJsonDocument::fromJson(profiled.out).object();
    const qulonglong cycles = qulonglong(json.value("cycles").toDouble());
    QVERIFY(cycles > qulonglong(json.value("instructions").toDouble()) * 4);
    QCOMPARE(json.value("registers"), plainJson.value("registers"));
    QCOMPARE(json.value("cycles"), plainJson.value("cycles"));

    const QByteArray profile = Read(profilePath);
    QVERIFY(profile.startsWith("# callgrind format\nversion: 1\n"));
    QVERIFY(profile.contains("\nevents: Instructions Cycles\n"));
    QVERIFY(profile.contains("\npositions: line\n"));
    const QList<qulonglong> totals = Numbers(profile, "totals:");
    QCOMPARE(totals.size(), 2);
    QCOMPARE(totals.at(1), cycles);
    QCOMPARE(Numbers(profile, "summary:"), totals);
    const QHash<QString, qulonglong> calls = Calls(profile);
    QCOMPARE(calls.value("hot"), 20ull);
    QCOMPARE(calls.value("once"), 1ull);
    QCOMPARE(calls.value("fib"), 177ull);
    QCOMPARE(calls.value("main"), 1ull);
    QVERIFY(!calls.contains("never"));
    QVERIFY(!profile.contains(" never\n"));

    const QByteArray all = Read(coveragePath);
    QVERIFY(all.startsWith("TN:\nSF:"));
    QCOMPARE(all.count("end_of_record\n"), all.count("SF:"));
    const QByteArray mainSource = "SF:" + QDir(folder.path()).absoluteFilePath("main.c").toUtf8() + '\n';
    QVERIFY(all.contains(mainSource));
    // main.c's record.
    const QByteArray fromMain = all.mid(all.indexOf(mainSource));
    const QByteArray lcov = fromMain.left(fromMain.indexOf("end_of_record"));
    QCOMPARE(FunctionCount(lcov, "hot"), 20);
    QCOMPARE(FunctionCount(lcov, "fib"), 177);
    QCOMPARE(FunctionCount(lcov, "never"), 0);
    QCOMPARE(FunctionCount(lcov, "main"), 1);
    // never's body ran no line; the if before it, a branch taken one way only.
    QVERIFY(lcov.contains("DA:23,0\n"));
    QVERIFY(lcov.contains("DA:12,4000\n"));
    QVERIFY(lcov.contains("BRDA:"));
    QVERIFY(QRegularExpression(QStringLiteral("\nBRDA:\\d+,0,[01],0\n")).match(QString::fromUtf8(lcov)).hasMatch());
    QVERIFY(QRegularExpression(QStringLiteral("\nBRH:[1-9]\\d*\n")).match(QString::fromUtf8(lcov)).hasMatch());

    // The S-Records carry no names: functions are named by where calls entered them, and the
    // cycles are the same.
    const QString hexProfile = folder.filePath("callgrind.out.hex");
    const unsigned int done = unsigned(json.value("registers").toObject().value("pc").toDouble());
    const Process hex = Start(QStringLiteral(RUNNER), {folder.filePath("main.hex"), "--until", QStringLiteral("$%1").arg(done, 0, 16),
                                                       "--json", "-", "--profile", hexProfile});
    QCOMPARE(hex.status, 0);
    const QByteArray anonymous = Read(hexProfile);
    QCOMPARE(Numbers(anonymous, "totals:"), totals);
    QVERIFY(anonymous.contains("cfn=(") && anonymous.contains(" ?@$00"));
    QVERIFY(Calls(anonymous).values().contains(177ull));

    if (QByteArray(CALLGRIND_ANNOTATE).isEmpty() || QByteArray(GENHTML).isEmpty())
        QSKIP("callgrind_annotate or genhtml is not installed");
    const Process annotate = Start(QStringLiteral(CALLGRIND_ANNOTATE), {profilePath}, folder.path());
    QCOMPARE(annotate.status, 0);
    QVERIFY2(!annotate.err.contains("WARNING"), annotate.err.constData());
    const QString text = QString::fromUtf8(annotate.out);
    // "30,612 (100.0%) 251,664 (100.0%)  PROGRAM TOTALS", then the functions, the costliest first.
    const QRegularExpressionMatch total = QRegularExpression(QStringLiteral("([\\d,]+) \\([^)]*\\)\\s+([\\d,]+) \\([^)]*\\)\\s+PROGRAM TOTALS")).match(text);
    QVERIFY2(total.hasMatch(), annotate.out.constData());
    QCOMPARE(total.captured(2).remove(QLatin1Char(',')).toULongLong(), cycles);
    QCOMPARE(total.captured(1).remove(QLatin1Char(',')).toULongLong(), qulonglong(json.value("instructions").toDouble()));
    const QRegularExpressionMatch first =
        QRegularExpression(QStringLiteral("file:function\\s*\\n-+\\n\\s*[\\d,]+ \\([^)]*\\)\\s+[\\d,]+ \\([^)]*\\)\\s+(\\S+)")).match(text);
    QVERIFY2(first.hasMatch(), annotate.out.constData());
    QVERIFY2(first.captured(1).endsWith(QLatin1String("main.c:hot")), qPrintable(first.captured(1)));

    const QString html = folder.filePath("html");
    const Process genhtml = Start(QStringLiteral(GENHTML), {"--branch-coverage", "-o", html, coveragePath}, folder.path());
    QVERIFY2(genhtml.status == 0, genhtml.err.constData());
    QVERIFY(QFile::exists(QDir(html).filePath("index.html")));
}

QTEST_GUILESS_MAIN(ProfileTest)
#include "tst_profile.moc"
