#include "app/VideoDialog.h"

#include "app/MainWindow.h"
#include "session/Document.h"
#include "core/Memory.h"

#include <QApplication>
#include <QScreen>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>

#include <algorithm>

bool VideoDialog::firstShow = true;


VideoDialog::VideoDialog(MainWindow* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint),
      mainWindow(parent),
      memory(parent->document->memory),
      image(&parent->document->videoImage),
      timer(this),
      keyboard(memory)
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
    connect(&timer, &QTimer::timeout, this, qOverload<>(&VideoDialog::repaint));
}

int VideoDialog::KeyCode(int key)
{
    return Keyboard::Code(key);
}

bool VideoDialog::IsModifier(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Meta || key == Qt::Key_Alt
        || key == Qt::Key_AltGr;
}

void VideoDialog::KeyDown(int key, const QString& text)
{
    keyboard.Press(key, text);
}

void VideoDialog::KeyUp(int key)
{
    keyboard.Release(key);
}

void VideoDialog::UpdateModifiers()
{
    const Qt::KeyboardModifiers held = QGuiApplication::queryKeyboardModifiers();
    keyboard.SetModifiers(held & Qt::ShiftModifier, held & Qt::ControlModifier, held & Qt::AltModifier);
}

void VideoDialog::ClearKeys()
{
    keyboard.Clear();
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
        // In the bottom right corner; on a screen too small for it, its title bar stays in.
        move(std::max(available.left(), available.right() - frame.width()),
             std::max(available.top(), available.bottom() - frame.height()));
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
