#include "app/VideoDialog.h"

#include "app/MainWindow.h"
#include "core/Document.h"
#include "core/Memory.h"

#include <QApplication>
#include <QScreen>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>

bool VideoDialog::firstShow = true;

namespace {

// Offsets of the keyboard area's bytes from its start, 0x400.
enum KeyboardByte {
    KeysHeld = 0,
    KeysAndModifiersHeld = 1,
    CharacterHigh = 2,
    CharacterLow = 3,
    LastPressed = 4,
    LastReleased = 5,
    Shift = 6,
    Control = 7,
    Alt = 8,
    ControlAlt = 9
};

} // namespace

VideoDialog::VideoDialog(MainWindow* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint),
      mainWindow(parent),
      memory(parent->document->memory),
      image(&parent->document->videoImage),
      timer(this)
{
    for (int i = 0; i < 10; ++i)
        keyboardArea[i] = &memory->buffer.mainBuffer[Memory::keyboardStart + i];

    setObjectName(QStringLiteral("VideoDialog"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::StrongFocus);
    setWindowTitle(QStringLiteral("Zendra - Sortie Vidéo"));
    resize(image->size());
    setMinimumSize(image->size());
    setMaximumSize(image->size());

    timer.setInterval(20);
    connect(&timer, SIGNAL(timeout()), this, SLOT(repaint()));
}

int VideoDialog::KeyCode(int key)
{
    if ((key >= 0x20 && key <= 0x60) || (key >= 0x7B && key <= 0x7E) || (key >= 0xA0 && key <= 0xDF) || key == 0xF7
        || key == 0xFF)
        return key;
    if (key >= Qt::Key_Escape && key <= Qt::Key_Clear)
        return 0x61 + (key - Qt::Key_Escape);
    if (key >= Qt::Key_Home && key <= Qt::Key_PageDown)
        return 0x6D + (key - Qt::Key_Home);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F32)
        return 0x80 + (key - Qt::Key_F1);
    if (key >= Qt::Key_CapsLock && key <= Qt::Key_ScrollLock)
        return 0xE0 + (key - Qt::Key_CapsLock);
    if (key >= Qt::Key_Super_L && key <= Qt::Key_Direction_L)
        return 0xE3 + (key - Qt::Key_Super_L);
    if (key == Qt::Key_Direction_R)
        return 0xEA;
    return 0;
}

unsigned char& VideoDialog::KeyState(int code)
{
    // code is 8 bits and the table starts at 0x400 + 0x20, so every entry lies in the area.
    return memory->buffer.mainBuffer[Memory::keyboardStart + (code & 0xFF)];
}

bool VideoDialog::IsModifier(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Meta || key == Qt::Key_Alt
        || key == Qt::Key_AltGr;
}

void VideoDialog::KeyDown(int key, const QString& text)
{
    const int code = KeyCode(key) & 0xFF;
    if (code == 0 || KeyState(code) != 0)
        return;
    KeyState(code) = 0xFF;
    *keyboardArea[LastPressed] = static_cast<unsigned char>(code);
    const ushort character = text.size() == 1 ? text.at(0).unicode() : 0;
    *keyboardArea[CharacterHigh] = static_cast<unsigned char>(character >> 8);
    *keyboardArea[CharacterLow] = static_cast<unsigned char>(character);
    *keyboardArea[KeysHeld] = static_cast<unsigned char>(*keyboardArea[KeysHeld] + 1);
}

void VideoDialog::KeyUp(int key)
{
    const int code = KeyCode(key) & 0xFF;
    if (code == 0 || KeyState(code) != 0xFF)
        return;
    KeyState(code) = 0;
    *keyboardArea[LastReleased] = static_cast<unsigned char>(code);
    if (*keyboardArea[KeysHeld] != 0)
        --*keyboardArea[KeysHeld];
}

void VideoDialog::UpdateModifiers()
{
    const bool alt = QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier;
    const bool control = QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier;
    const bool shift = QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier;
    *keyboardArea[Alt] = alt ? 0xFF : 0;
    *keyboardArea[Control] = control ? 0xFF : 0;
    *keyboardArea[Shift] = shift ? 0xFF : 0;
    *keyboardArea[ControlAlt] = *keyboardArea[Alt] & *keyboardArea[Control];
    *keyboardArea[KeysAndModifiersHeld] = static_cast<unsigned char>(*keyboardArea[KeysHeld] + alt + control + shift);
}

void VideoDialog::ClearKeys()
{
    for (unsigned int a = Memory::keyboardStart + 0x20; a <= Memory::keyboardEnd; ++a)
        memory->buffer.mainBuffer[a] = 0;
    *keyboardArea[KeysHeld] = 0;
}

void VideoDialog::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(0, 0, *image);
    QWidget::paintEvent(event);
}

void VideoDialog::contextMenuEvent(QContextMenuEvent* event)
{
    const QPoint p = event->pos();
    if (p.x() < 0 || p.y() < 0 || p.x() >= Document::videoWidth || p.y() >= Document::videoHeight || mainWindow->running)
        return;
    QMenu menu(this);
    QAction* lastWrite = menu.addAction(QStringLiteral("Dernière écriture"));
    if (menu.exec(event->globalPos()) != lastWrite)
        return;
    const unsigned int address = MemoryBuffer::videoStart + unsigned(p.y()) * (Document::videoWidth / 8) + unsigned(p.x()) / 8;
    mainWindow->OnLastWrite(address, 0x80u >> (p.x() % 8));
}

void VideoDialog::showEvent(QShowEvent* event)
{
    if (firstShow) {
        firstShow = false;
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect frame = frameGeometry();
        move(available.right() - frame.width(), available.bottom() - frame.height());
    }
    timer.start();
    QDialog::showEvent(event);
}

void VideoDialog::hideEvent(QHideEvent* event)
{
    timer.stop();
    QWidget::hideEvent(event);
}

void VideoDialog::keyPressEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat()) {
        if (!IsModifier(event->key()))
            KeyDown(event->key(), event->text());
        UpdateModifiers();
        mainWindow->UpdateCurrentTabIfIdle();
    }
    // Escape is a key of the simulated keyboard; it must not close the window.
    if (event->key() != Qt::Key_Escape)
        QDialog::keyPressEvent(event);
}

void VideoDialog::keyReleaseEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat()) {
        if (IsModifier(event->key()))
            ClearKeys();
        else
            KeyUp(event->key());
        UpdateModifiers();
        mainWindow->UpdateCurrentTabIfIdle();
    }
    QWidget::keyReleaseEvent(event);
}

void VideoDialog::focusInEvent(QFocusEvent* event)
{
    ClearKeys();
    UpdateModifiers();
    QWidget::focusInEvent(event);
}

void VideoDialog::focusOutEvent(QFocusEvent* event)
{
    ClearKeys();
    UpdateModifiers();
    QWidget::focusOutEvent(event);
}
