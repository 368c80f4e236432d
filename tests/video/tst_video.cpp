#include "MainWindowTestSupport.h"

#include "app/VideoDialog.h"
#include "session/Document.h"
#include "core/Emulator.h"
#include "core/Memory.h"

#include <QScreen>
#include <QKeyEvent>

#include <array>

using namespace WindowTest;

namespace {

using KeyboardBytes = std::array<unsigned char, 0x100>;

KeyboardBytes KeyboardOf(MainWindow& w)
{
    KeyboardBytes bytes;
    for (unsigned int i = 0; i < 0x100; ++i)
        bytes[i] = static_cast<unsigned char>(w.document->memory->Read(0x400 + i, 8));
    return bytes;
}

unsigned int Byte(MainWindow& w, unsigned int address)
{
    return w.document->memory->Read(address, 8);
}

// The key table and the counters agree: every table entry is 0 or 0xFF, the count at 0x400
// is the number of keys held, and the modifier bytes are 0 or 0xFF.
void CheckConsistent(const KeyboardBytes& k)
{
    int held = 0;
    for (int i = 0x20; i < 0x100; ++i) {
        QVERIFY2(k[i] == 0 || k[i] == 0xFF, qPrintable(QString::number(i, 16)));
        held += k[i] == 0xFF;
    }
    QCOMPARE(int(k[0]), held);
    for (int i = 6; i <= 9; ++i)
        QVERIFY(k[i] == 0 || k[i] == 0xFF);
    QCOMPARE(int(k[9]), k[7] & k[8]);
    QCOMPARE(int(k[1]), (k[0] + (k[6] != 0) + (k[7] != 0) + (k[8] != 0)) & 0xFF);
    for (int i = 0x0A; i < 0x20; ++i)
        QCOMPARE(int(k[i]), 0);
}

} // namespace

class TestVideo : public QObject
{
    Q_OBJECT

private:
    // Keys reach the window as the user's do, through its platform window.
    static void Press(VideoDialog* v, int key, Qt::KeyboardModifiers m = Qt::NoModifier, const QString& text = {},
                      bool repeat = false)
    {
        qt_handleKeyEvent(v->windowHandle(), QEvent::KeyPress, key, m, text, repeat);
        QCoreApplication::processEvents();
    }
    static void Release(VideoDialog* v, int key, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        qt_handleKeyEvent(v->windowHandle(), QEvent::KeyRelease, key, m);
        QCoreApplication::processEvents();
    }

    static VideoDialog* ShowVideo(MainWindow& w)
    {
        w.show();
        w.videoOutAction->trigger();
        VideoDialog* v = w.videoDialog;
        v->activateWindow();
        v->setFocus();
        if (!QTest::qWaitForWindowActive(v))
            return nullptr;
        // The focus changes of the activation clear the keys: let them pass first.
        QTest::qWait(20);
        return v;
    }

private slots:
    void keysFillTheKeyboardArea()
    {
        MainWindow w;
        VideoDialog* v = ShowVideo(w);
        QVERIFY(v);

        // Holding A: pressed once, repeats change nothing, the release clears it.
        Press(v, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCOMPARE(Byte(w, 0x441), 0xFFu);
        QCOMPARE(Byte(w, 0x404), 0x41u);
        QCOMPARE(Byte(w, 0x402), 0x00u);
        QCOMPARE(Byte(w, 0x403), 0x61u);
        QCOMPARE(Byte(w, 0x400), 1u);
        const KeyboardBytes held = KeyboardOf(w);
        Press(v, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), true);
        Press(v, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), true);
        QVERIFY(KeyboardOf(w) == held);
        Release(v, Qt::Key_A);
        QCOMPARE(Byte(w, 0x441), 0u);
        QCOMPARE(Byte(w, 0x405), 0x41u);
        QCOMPARE(Byte(w, 0x400), 0u);

        // A character outside Latin-1 keeps its 16 bits; text of two characters gives none.
        Press(v, Qt::Key_E, Qt::NoModifier, QString(QChar(0x20AC)));
        QCOMPARE(Byte(w, 0x402), 0x20u);
        QCOMPARE(Byte(w, 0x403), 0xACu);
        Press(v, Qt::Key_B, Qt::NoModifier, QStringLiteral("bb"));
        QCOMPARE(Byte(w, 0x402), 0u);
        QCOMPARE(Byte(w, 0x403), 0u);
        QCOMPARE(Byte(w, 0x400), 2u);

        // Shift alone changes only the modifier bytes; its release clears the key table.
        Press(v, Qt::Key_Shift, Qt::ShiftModifier);
        QCOMPARE(Byte(w, 0x406), 0xFFu);
        QCOMPARE(Byte(w, 0x401), 3u);
        QCOMPARE(Byte(w, 0x400), 2u);
        Release(v, Qt::Key_Shift);
        QCOMPARE(Byte(w, 0x406), 0u);
        QCOMPARE(Byte(w, 0x400), 0u);
        QCOMPARE(Byte(w, 0x445), 0u);
        QCOMPARE(Byte(w, 0x401), 0u);

        // Ctrl and Alt together.
        Press(v, Qt::Key_Control, Qt::ControlModifier);
        Press(v, Qt::Key_Alt, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(Byte(w, 0x407), 0xFFu);
        QCOMPARE(Byte(w, 0x408), 0xFFu);
        QCOMPARE(Byte(w, 0x409), 0xFFu);
        QCOMPARE(Byte(w, 0x401), 2u);
        Release(v, Qt::Key_Alt, Qt::ControlModifier);
        QCOMPARE(Byte(w, 0x409), 0u);
        Release(v, Qt::Key_Control);

        // Escape is a key like another, and never closes the window.
        Press(v, Qt::Key_Escape);
        QCOMPARE(Byte(w, 0x461), 0xFFu);
        QCOMPARE(Byte(w, 0x404), 0x61u);
        QVERIFY(v->isVisible());
        Release(v, Qt::Key_Escape);

        // A key without a code refreshes the modifiers only.
        const KeyboardBytes before = KeyboardOf(w);
        Press(v, Qt::Key_VolumeUp);
        Release(v, Qt::Key_VolumeUp);
        QVERIFY(KeyboardOf(w) == before);

        // Losing the focus lets go of every key.
        Press(v, Qt::Key_Left);
        Press(v, Qt::Key_F1);
        QCOMPARE(Byte(w, 0x46F), 0xFFu);
        QCOMPARE(Byte(w, 0x480), 0xFFu);
        QCOMPARE(Byte(w, 0x400), 2u);
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTRY_COMPARE(Byte(w, 0x46F), 0u);
        QCOMPARE(Byte(w, 0x480), 0u);
        QCOMPARE(Byte(w, 0x400), 0u);
    }

    void anyKeySequenceKeepsTheAreaConsistent()
    {
        MainWindow w;
        VideoDialog* v = ShowVideo(w);
        QVERIFY(v);
        // Memory around the area, to see that nothing outside it is written.
        QByteArray around;
        for (unsigned int a = 0x300; a < 0x400; ++a)
            around.append(char(Byte(w, a)));
        for (unsigned int a = 0x500; a < 0x600; ++a)
            around.append(char(Byte(w, a)));

        QVector<int> keys;
        for (int k = 0; k < 0x200; ++k)
            keys << k;
        for (int k = Qt::Key_Escape; k < Qt::Key_Escape + 0x120; ++k)
            keys << k;
        keys << Qt::Key_AltGr << Qt::Key_Meta << 0x7FFFFFFF << -1;

        // Releases without presses, hundreds of keys held at once, then all let go.
        for (int k : keys)
            v->KeyUp(k);
        CheckConsistent(KeyboardOf(w));
        QCOMPARE(Byte(w, 0x400), 0u);
        for (int k : keys) {
            Press(v, k, Qt::NoModifier, k % 3 ? QString() : QStringLiteral("xyz"));
            CheckConsistent(KeyboardOf(w));
        }
        QVERIFY(Byte(w, 0x400) > 150);
        for (int k : keys) {
            Release(v, k);
            CheckConsistent(KeyboardOf(w));
        }
        QCOMPARE(Byte(w, 0x400), 0u);

        QByteArray after;
        for (unsigned int a = 0x300; a < 0x400; ++a)
            after.append(char(Byte(w, a)));
        for (unsigned int a = 0x500; a < 0x600; ++a)
            after.append(char(Byte(w, a)));
        QCOMPARE(after, around);

        // The code table's corners.
        QCOMPARE(VideoDialog::KeyCode(Qt::Key_Space), 0x20);
        QCOMPARE(VideoDialog::KeyCode(Qt::Key_QuoteLeft), 0x60);
        QCOMPARE(VideoDialog::KeyCode(Qt::Key_BraceLeft), 0x7B);
        QCOMPARE(VideoDialog::KeyCode(Qt::Key_Clear), 0x6C);
        QCOMPARE(VideoDialog::KeyCode(Qt::Key_PageDown), 0x74);
        QCOMPARE(VideoDialog::KeyCode(Qt::Key_F32), 0x9F);
        QCOMPARE(VideoDialog::KeyCode(Qt::Key_F33), 0);
        QCOMPARE(VideoDialog::KeyCode(Qt::Key_ScrollLock), 0xE2);
        QCOMPARE(VideoDialog::KeyCode(Qt::Key_Direction_L), 0xE9);
        QCOMPARE(VideoDialog::KeyCode(Qt::Key_Direction_R), 0xEA);
        QCOMPARE(VideoDialog::KeyCode(0xE0), 0);
        QCOMPARE(VideoDialog::KeyCode(0xF7), 0xF7);
        QCOMPARE(VideoDialog::KeyCode(0xFF), 0xFF);
        QCOMPARE(VideoDialog::KeyCode(0x100), 0);
        QCOMPARE(VideoDialog::KeyCode(0x61), 0);
    }

    void showsTheVideoAreaThatAProgramWrites()
    {
        MainWindow w;
        QVERIFY(w.LoadFile(Program("video_screen")));
        w.resetAction->trigger();
        VideoDialog* v = ShowVideo(w);
        QVERIFY(v);
        QCOMPARE(v->geometry().size(), QSize(480, 320));
        QCOMPARE(v->minimumSize(), QSize(480, 320));
        QCOMPARE(v->maximumSize(), QSize(480, 320));

        w.runAction->trigger();
        QVERIFY(WaitIdle(w));
        QCOMPARE(w.session->LastStop().cause, StopCause::InstructionBreakpoint);
        // The program could not write the keyboard area.
        QCOMPARE(Byte(w, 0x420), 0u);
        QCOMPARE(Byte(w, 0x400), 0u);

        // The next tick of the timer draws what the program wrote.
        QTest::qWait(60);
        const QImage picture = v->grab().toImage();
        QCOMPARE(picture.size(), QSize(480, 320));
        QCOMPARE(picture.pixelColor(0, 0), QColor(Qt::white));
        QCOMPARE(picture.pixelColor(479, 319), QColor(Qt::white));
        QCOMPARE(picture.pixelColor(1, 0), QColor(Qt::black));
        QCOMPARE(picture.pixelColor(478, 319), QColor(Qt::black));
        QCOMPARE(picture.pixelColor(240, 160), QColor(Qt::black));

        // Hidden, it stops repainting; the check mark follows.
        w.videoOutAction->trigger();
        QVERIFY(!v->isVisible());
        QVERIFY(!v->timer.isActive());
        QVERIFY(!w.videoOutAction->isChecked());
    }

    void firstShowGoesToTheBottomRightThenStaysWhereMoved()
    {
        VideoDialog::firstShow = true;
        MainWindow w;
        w.show();
        w.videoOutAction->trigger();
        VideoDialog* v = w.videoDialog;
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(v->frameGeometry().right(), available.right() - 1);
        QCOMPARE(v->frameGeometry().bottom(), available.bottom() - 1);
        v->move(100, 120);
        w.videoOutAction->trigger();
        w.videoOutAction->trigger();
        QCOMPARE(v->pos(), QPoint(100, 120));
    }
};

ZENDRA_MAINWINDOW_TEST_MAIN(TestVideo, MAINWINDOW_PROGRAMS "/video_screen.hex")
#include "tst_video.moc"
