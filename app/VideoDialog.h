#ifndef ZENDRA_APP_VIDEODIALOG_H
#define ZENDRA_APP_VIDEODIALOG_H

#include "core/Keyboard.h"

#include <QDialog>
#include <QTimer>

class MainWindow;
class Memory;
class QImage;

// The simulated machine's two devices: the 480 x 320 one-bit screen, drawn from the video
// area of memory every 20 ms while the window shows, and the keyboard, whose state the window
// stores into the keyboard area 0x400-0x4FF that programs read and cannot write.
class VideoDialog : public QDialog
{
    Q_OBJECT

public:
    explicit VideoDialog(MainWindow* parent);

    static int KeyCode(int key);
    void KeyDown(int key, const QString& text);
    void KeyUp(int key);
    void UpdateModifiers();
    void ClearKeys();

    MainWindow* mainWindow;
    Memory* memory;
    QImage* image;
    QTimer timer;
    // The bytes 0x400 to 0x409 of the memory's main array.
    unsigned char* keyboardArea[10];

    static bool firstShow;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // A right click on a pixel offers "Dernière écriture" for it.
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    static bool IsModifier(int key);

    Keyboard keyboard;
};

#endif
