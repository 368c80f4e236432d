// The Debian package that "cpack -G DEB" builds from this build: the files that Debian asks
// for beside the programs, the libraries in their private folder with nothing to run at
// installation, the manual pages written from the programs' own help, programs that run from
// where the package puts them, and lintian's verdict: no error and no warning.
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Output
{
    int status = -1;
    QString out;
};

Output Run(const QString& program, const QStringList& arguments, int timeout = 60000)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Output o;
    if (!process.waitForFinished(timeout) || process.exitStatus() != QProcess::NormalExit)
        return o;
    o.status = process.exitCode();
    o.out = QString::fromUtf8(process.readAll());
    return o;
}

// A gzip'ed file's text, as man and zless read it.
QString Gunzip(const QString& file)
{
    return Run(QStringLiteral("gzip"), {QStringLiteral("-dc"), file}).out;
}

} // namespace

class PackageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void packageHoldsWhatDebianAsks();
    void lintianFindsNothing();

private:
    QTemporaryDir dir;
    QString deb;
};

void PackageTest::initTestCase()
{
    QVERIFY(dir.isValid());
    // Built outside the build tree, as a user's cpack would be, so that the tests leave nothing.
    const Output cpack = Run(QStringLiteral(CPACK),
                             {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                              QStringLiteral(BUILD_DIR "/CPackConfig.cmake"), QStringLiteral("-B"), dir.path()},
                             900000);
    QVERIFY2(cpack.status == 0, qPrintable(cpack.out));
    const QStringList debs = QDir(dir.path()).entryList({QStringLiteral("zendra_*.deb")});
    QCOMPARE(debs.size(), 1);
    deb = dir.filePath(debs.first());
}

void PackageTest::packageHoldsWhatDebianAsks()
{
    const QString contents = Run(QStringLiteral("dpkg-deb"), {QStringLiteral("--contents"), deb}).out;
    for (const char* file : {"./usr/share/doc/zendra/copyright", "./usr/share/doc/zendra/changelog.gz",
                             "./usr/share/man/man1/Zendra.1.gz", "./usr/share/man/man1/zendra-run.1.gz",
                             "./usr/bin/Zendra", "./usr/bin/zendra-run"})
        QVERIFY2(contents.contains(QLatin1String(file)), file);
    // Private libraries in a folder of their own, which ldconfig need not know.
    QVERIFY2(contents.contains(QRegularExpression(QStringLiteral("\\./usr/lib/[a-z0-9_]+-linux-gnu[a-z0-9_]*/zendra/libQuorvex\\.so\n"))),
             qPrintable(contents));
    const QString control = Run(QStringLiteral("dpkg-deb"), {QStringLiteral("--info"), deb}).out;
    QVERIFY2(!control.contains(QStringLiteral("postinst")) && !control.contains(QStringLiteral("postrm")), qPrintable(control));
    QCOMPARE(Run(QStringLiteral("dpkg-deb"), {QStringLiteral("--field"), deb, QStringLiteral("Maintainer")}).out,
             QStringLiteral(MAINTAINER "\n"));
    QVERIFY(Run(QStringLiteral("dpkg-deb"), {QStringLiteral("--field"), deb, QStringLiteral("Depends")})
                .out.contains(QStringLiteral("qttranslations5-l10n")));
    const QString description = Run(QStringLiteral("dpkg-deb"), {QStringLiteral("--field"), deb, QStringLiteral("Description")}).out;
    QVERIFY2(description.count(QLatin1Char('\n')) > 5 && !description.contains(QLatin1Char('&')), qPrintable(description));

    const QString root = dir.filePath(QStringLiteral("root"));
    QCOMPARE(Run(QStringLiteral("dpkg-deb"), {QStringLiteral("--extract"), deb, root}).status, 0);
    QFile copyright(root + QStringLiteral("/usr/share/doc/zendra/copyright"));
    QVERIFY(copyright.open(QIODevice::ReadOnly));
    QVERIFY(copyright.readLine().startsWith("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"));
    const QString changelog = Gunzip(root + QStringLiteral("/usr/share/doc/zendra/changelog.gz"));
    QVERIFY2(changelog.startsWith(QStringLiteral("zendra (" ZENDRA_VERSION ") "))
                 && changelog.contains(QStringLiteral("\n -- " MAINTAINER "  ")),
             qPrintable(changelog));

    // Each page is its program's --help in French, under its own name and version.
    const QString zendra = Gunzip(root + QStringLiteral("/usr/share/man/man1/Zendra.1.gz"));
    QVERIFY2(zendra.contains(QStringLiteral("\"Zendra " ZENDRA_VERSION "\"")) && zendra.contains(QStringLiteral(".SH NOM\nZendra \\-"))
                 && zendra.contains(QStringLiteral(".SH SYNOPSIS\n.B Zendra\n")) && zendra.contains(QStringLiteral("\\fB\\-\\-version\\fR")),
             qPrintable(zendra));
    const QString runner = Gunzip(root + QStringLiteral("/usr/share/man/man1/zendra-run.1.gz"));
    QVERIFY2(runner.contains(QStringLiteral("\"zendra-run " ZENDRA_VERSION "\"")) && runner.contains(QStringLiteral(".SH NOM\nzendra\\-run \\-"))
                 && runner.contains(QStringLiteral("\\fB\\-\\-until\\fR")) && runner.contains(QStringLiteral(".SH \"CODE DE RETOUR\"")),
             qPrintable(runner));

    // The programs find their libraries where the package puts them.
    const Output version = Run(root + QStringLiteral("/usr/bin/zendra-run"), {QStringLiteral("--version")});
    QCOMPARE(version.out, QStringLiteral("zendra-run " ZENDRA_VERSION "\n"));
}

void PackageTest::lintianFindsNothing()
{
    if (QStandardPaths::findExecutable(QStringLiteral("lintian")).isEmpty())
        QSKIP("lintian is not installed");
    // Info and pedantic tags are shown but do not count.
    const Output lintian = Run(QStringLiteral("lintian"), {QStringLiteral("--display-info"), deb}, 600000);
    QVERIFY2(lintian.status == 0 || lintian.status == 1, qPrintable(lintian.out));
    QStringList faults;
    for (const QString& line : lintian.out.split(QLatin1Char('\n')))
        if (line.startsWith(QStringLiteral("E: ")) || line.startsWith(QStringLiteral("W: ")))
            faults << line;
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(PackageTest)
#include "tst_package.moc"
