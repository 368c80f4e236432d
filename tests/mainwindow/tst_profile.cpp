// The profiler in the window, on the demo's ELF: checked in the debug menu, it counts the
// runs by function; a "Profil" view lists them, or their source lines, a double click shows
// a function in the disassembly and the source, the margins show the heat of what ran, and
// the profile exports to callgrind's format. Unchecked, nothing counts.
#include "MainWindowTestSupport.h"

#include "core/Emulator.h"
#include "core/Register.h"
#include "program/SymbolTable.h"
#include "session/Profile.h"
#include "session/Profiler.h"
#include "splitview/DefaultView.h"
#include "splitview/ViewManager.h"
#include "program/LineTable.h"
#include "views/ProfileView.h"
#include "views/SourceView.h"
#include "views/StandardDisaView.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

using namespace WindowTest;

namespace {

unsigned int Symbol(MainWindow& w, const char* name)
{
    const SymbolTable::Symbol* s = w.document->symbols->Find(QString::fromLatin1(name));
    if (!s)
        qFatal("no symbol %s", name);
    return s->address;
}

quint64 Cycles(MainWindow& w)
{
    return w.document->emulator->Cycles();
}

QTreeWidgetItem* Row(ProfileView* view, const QString& name)
{
    const QList<QTreeWidgetItem*> found = view->table->findItems(name, Qt::MatchExactly, 0);
    return found.size() == 1 ? found.first() : nullptr;
}

// A count or share as the view writes it, in French.
double Number(const QString& text)
{
    QString plain = text;
    plain.remove(QStringLiteral("\u00A0%"));
    bool ok = false;
    const double value = QLocale(QLocale::French).toDouble(plain, &ok);
    if (!ok)
        qFatal("not a number: %s", qPrintable(text));
    return value;
}

template <class V>
V* FindView(MainWindow& w)
{
    for (int tab = 0; tab < w.tabWidget->count(); ++tab)
        if (View* root = qobject_cast<View*>(w.tabWidget->widget(tab)))
            for (View* v : root->manager->SingleViewList())
                if (V* found = qobject_cast<V*>(v))
                    return found;
    return nullptr;
}

// The colour of a view's left margin at the middle of a row.
QColor MarginAt(TextView* view, int row)
{
    const QImage image = view->grab().toImage();
    return image.pixelColor(2, row * view->lineHeight + view->lineHeight / 4 + view->lineHeight / 2);
}

void RunToStop(MainWindow& w)
{
    QTest::keyClick(&w, Qt::Key_F9);
    QVERIFY(WaitIdle(w));
}

} // namespace

class TestProfile : public QObject
{
    Q_OBJECT

private slots:
    void profilesRunsShowsAndExportsThem()
    {
        MainWindow w;
        w.resize(1200, 700);
        QVERIFY(ShowActive(w));
        QVERIFY(w.profileAction->isEnabled() && w.profileAction->isCheckable());
        QVERIFY(!w.profileAction->isChecked() && !w.exportProfileAction->isEnabled());
        QVERIFY(w.debugMenu->actions().contains(w.profileAction));

        // A "Profil" view beside the memory, from the empty view that a split leaves.
        ProfileView* view = OpenViewOfKind<ProfileView>(w, 1, QStringLiteral("Profil"));
        QVERIFY(view);
        QVERIFY(MainWindow::IsProfileView(view));
        QVERIFY(!view->hint->isHidden() && view->table->isHidden());
        QCOMPARE(view->hint->text(), QStringLiteral("Cochez « Déboguer > Profiler » puis exécutez le programme."));

        // Unchecked, a run to the main loop counts nothing.
        const unsigned int mainLoop = Symbol(w, "main_loop");
        w.document->AddAddressBreakpoint(mainLoop);
        RunToStop(w);
        QCOMPARE(w.document->emulator->registers->pc, mainLoop);
        QVERIFY(!w.profiler);
        QVERIFY(!view->hint->isHidden());

        // Checked from its key: from now on each run counts, twice round the main loop.
        QTest::keyClick(&w, Qt::Key_P, Qt::ControlModifier);
        QVERIFY(w.profileAction->isChecked() && w.profiler && w.exportProfileAction->isEnabled());
        QVERIFY(view->hint->isHidden() && !view->table->isHidden());
        QCOMPARE(view->table->topLevelItemCount(), 0);
        const quint64 begin = Cycles(w);
        // Once round the main loop to the entry of its last call, then a step into it: a
        // run and a step, the step with no breakpoint, since one at the PC keeps a run back.
        const unsigned int pauseEntry = Symbol(w, "pause");
        w.document->RemoveAddressBreakpoint(mainLoop);
        w.document->AddAddressBreakpoint(pauseEntry);
        RunToStop(w);
        QCOMPARE(w.document->emulator->registers->pc, pauseEntry);
        QTest::keyClick(&w, Qt::Key_F11, Qt::ControlModifier);
        QVERIFY(WaitIdle(w));
        QVERIFY(w.document->emulator->registers->pc != pauseEntry);
        const quint64 counted = Cycles(w) - begin;
        QVERIFY(counted > 0);

        QTreeWidget* table = view->table;
        QStringList headers;
        for (int c = 0; c < table->columnCount(); ++c)
            headers << table->headerItem()->text(c);
        QCOMPARE(headers, (QStringList{QStringLiteral("Fonction"), QStringLiteral("Appels"), QStringLiteral("Instructions"),
                                       QStringLiteral("Cycles propres"), QStringLiteral("Cycles inclus"),
                                       QStringLiteral("Part")}));
        QTreeWidgetItem* poll = Row(view, QStringLiteral("poll_keys"));
        QTreeWidgetItem* pause = Row(view, QStringLiteral("pause"));
        QVERIFY(poll && pause);
        QCOMPARE(poll->text(1), QStringLiteral("1"));
        QCOMPARE(pause->text(1), QStringLiteral("1"));
        QCOMPARE(pause->text(2), QStringLiteral("1"));
        QVERIFY(Number(poll->text(2)) > 0);
        double shares = 0;
        double cycles = 0;
        double previous = 1e300;
        for (int i = 0; i < table->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* row = table->topLevelItem(i);
            const double own = Number(row->text(3));
            QVERIFY2(own <= previous, qPrintable(row->text(0)));
            QVERIFY(Number(row->text(4)) >= own);
            QVERIFY(row->text(5).contains(QLatin1Char(',')) || row->text(5).startsWith(QLatin1Char('0')));
            previous = own;
            cycles += own;
            shares += Number(row->text(5));
        }
        QCOMPARE(quint64(cycles), counted);
        QVERIFY2(qAbs(shares - 100.0) <= 0.05 * table->topLevelItemCount(), qPrintable(QString::number(shares)));
        if (!qEnvironmentVariableIsEmpty("ZENDRA_PICTURES")) {
            const QString folder = qEnvironmentVariable("ZENDRA_PICTURES");
            QVERIFY(view->grab().save(folder + QStringLiteral("/profile-view.png")));
            QVERIFY(w.grab().save(folder + QStringLiteral("/profile-window.png")));
        }

        // A double click on a function shows it in the disassembly of the first page.
        table->scrollToItem(poll);
        const QPoint at = table->visualItemRect(poll).center();
        // As the window system sends it: a click, then the second press as a double click.
        QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        View* first = qobject_cast<View*>(w.tabWidget->widget(0));
        StandardDisaView* disassembly = nullptr;
        for (View* v : first->manager->SingleViewList())
            if (MainWindow::IsStandardDisaView(v))
                disassembly = static_cast<StandardDisaView*>(v);
        QVERIFY(disassembly);
        QCOMPARE(disassembly->AddressAtRow(0), Symbol(w, "poll_keys"));
        // And in the source, its first line in sight.
        SourceView* source = FindView<SourceView>(w);
        QVERIFY(source);
        const int pollLine = w.document->lines->Find(Symbol(w, "poll_keys"))->line;
        const int top = source->vValue / source->lineHeight;
        QVERIFY(pollLine - 1 >= top && pollLine - 1 < top + source->height() / source->lineHeight);

        // The margins: poll_keys' instructions ran, shaded (under its label's row); the
        // view's plain margin where nothing ran; none at all once the profiler is off (below).
        const QColor plain(248, 248, 248);
        disassembly->resize(600, 400);
        QCOMPARE(MarginAt(disassembly, 0), plain);
        QVERIFY(MarginAt(disassembly, 1) != plain);
        disassembly->SetStartAddress(0x30000);
        QCOMPARE(MarginAt(disassembly, 0), plain);
        disassembly->SetStartAddress(Symbol(w, "poll_keys"));
        source->resize(600, 400);
        QVERIFY(MarginAt(source, pollLine - 1 - source->vValue / source->lineHeight) != plain);
        // Its label's line has no code.
        QCOMPARE(MarginAt(source, pollLine - 2 - source->vValue / source->lineHeight), QColor(plain));
        if (!qEnvironmentVariableIsEmpty("ZENDRA_PICTURES")) {
            QVERIFY(disassembly->grab().save(qEnvironmentVariable("ZENDRA_PICTURES") + QStringLiteral("/heat-disassembly.png")));
            QVERIFY(source->grab().save(qEnvironmentVariable("ZENDRA_PICTURES") + QStringLiteral("/heat-source.png")));
        }

        // By source line, from the view's menu: the lines' cycles sum to the run's too, and a
        // double click on the costliest shows its first instruction.
        view->byLineAction->trigger();
        QCOMPARE(table->headerItem()->text(0), QStringLiteral("Ligne"));
        double lineCycles = 0;
        for (int i = 0; i < table->topLevelItemCount(); ++i) {
            const double own = Number(table->topLevelItem(i)->text(4));
            QVERIFY(i == 0 || own <= Number(table->topLevelItem(i - 1)->text(4)));
            lineCycles += own;
        }
        QCOMPARE(quint64(lineCycles), counted);
        QTreeWidgetItem* hottest = table->topLevelItem(0);
        QVERIFY(hottest->text(0).startsWith(QStringLiteral("demo.s:")));
        const int hottestLine = hottest->text(0).section(QLatin1Char(':'), 1).toInt();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, table->visualItemRect(hottest).center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, table->visualItemRect(hottest).center());
        QCOMPARE(w.document->lines->Find(disassembly->AddressAtRow(0))->line, hottestLine);
        view->byLineAction->trigger();
        QCOMPARE(table->headerItem()->text(0), QStringLiteral("Fonction"));

        // Exported: callgrind's totals are the instructions and cycles counted.
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("demo.callgrind"));
        {
            ModalAnswerer answers([&](QDialog* dialog) {
                if (QFileDialog* files = qobject_cast<QFileDialog*>(dialog))
                    ChooseFile(files, file);
            });
            // From the view's own menu, as from the debug menu.
            QVERIFY(view->exportAction->isEnabled());
            view->exportAction->trigger();
            QCOMPARE(answers.dialogs, 1);
            QVERIFY(answers.messages.isEmpty());
        }
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray text = written.readAll();
        QVERIFY(text.contains("fn="));
        const QByteArray totals = QByteArray("totals: ") + QByteArray::number(w.profiler->Instructions()) + ' ' +
                                  QByteArray::number(counted) + '\n';
        QVERIFY2(text.contains(totals), text.right(200).constData());

        // The dialog gone, the window has the keys again.
        QVERIFY(ShowActive(w));
        // Unchecked: the profile goes, the view says how to start one, and a run counts
        // nothing: checked again, the profile starts empty.
        QTest::keyClick(&w, Qt::Key_P, Qt::ControlModifier);
        QVERIFY(!w.profileAction->isChecked() && !w.profiler && !w.exportProfileAction->isEnabled());
        QVERIFY(!view->hint->isHidden() && view->table->isHidden() && !view->exportAction->isEnabled());
        disassembly->SetStartAddress(Symbol(w, "poll_keys"));
        QCOMPARE(MarginAt(disassembly, 1), plain);
        w.document->RemoveAllAddressBreakpoints();
        w.document->AddAddressBreakpoint(mainLoop);
        RunToStop(w);
        QCOMPARE(w.document->emulator->registers->pc, mainLoop);
        QTest::keyClick(&w, Qt::Key_P, Qt::ControlModifier);
        QVERIFY(w.profiler);
        QCOMPARE(w.profiler->Instructions(), 0ULL);
        QCOMPARE(view->table->topLevelItemCount(), 0);
        // A step counts its one instruction.
        QTest::keyClick(&w, Qt::Key_F11, Qt::ControlModifier);
        QVERIFY(WaitIdle(w));
        QCOMPARE(w.profiler->Instructions(), 1ULL);
        double instructions = 0;
        for (int i = 0; i < view->table->topLevelItemCount(); ++i)
            instructions += Number(view->table->topLevelItem(i)->text(2));
        QCOMPARE(instructions, 1.0);

        // Another program starts the profile again; its first instruction faults, and what
        // it cost, told to no observer, is counted all the same once the run is over.
        {
            ModalAnswerer answers([](QDialog* dialog) {
                if (QFileDialog* files = qobject_cast<QFileDialog*>(dialog))
                    ChooseFile(files, Program("mainwindow_fault"));
            });
            w.openAction->trigger();
            QCOMPARE(w.profiler->Instructions(), 0ULL);
            const quint64 loaded = Cycles(w);
            w.runAction->trigger();
            QVERIFY(WaitIdle(w));
            QCOMPARE(answers.messages.size(), 1);
            QVERIFY(Cycles(w) > loaded);
            const Profile profile = w.profiler->Collect();
            QVERIFY(profile.instructions <= 1);
            QCOMPARE(profile.cycles, Cycles(w) - loaded);
        }
    }
};

ZENDRA_MAINWINDOW_TEST_MAIN(TestProfile, DEMO_DIRECTORY "/demo.elf")
#include "tst_profile.moc"
