#ifndef ZENDRA_VIEWS_MEMORYVIEW_H
#define ZENDRA_VIEWS_MEMORYVIEW_H

#include "splitview/TextView.h"

class Document;
class Memory;
class QAction;
class Register;

// A dump of the simulated address space: on each line the address, the bytes in hexadecimal
// and the same bytes as characters. The line grid may start at any address (offset); a
// tooltip tells the byte under the mouse.
class MemoryView : public TextView
{
    Q_OBJECT

public:
    MemoryView();

    Document* document;
    Memory* memory;
    Register* registers;
    bool bytePerLineAuto;
    int bytesPerLine;
    int addressBandEnd;
    QMenu* bytePerLineMenu;
    // The byte under the cursor when the context menu opened, -1 for none: what its watch
    // and "Dernière écriture" entries are about.
    long long menuAddress = -1;
    QMenu* watchMenu = nullptr;
    QAction* lastWriteAction = nullptr;
    // The byte shown at a point of the view, or -1.
    long long AddressAt(const QPoint& p) const;
    unsigned int offset;
    bool aligned;

    virtual void SetStartAddress(unsigned int a);

    void UpdateScrollHeight();
    int LimitBytePerLine(int n) const;
    void SetBytePerLine(int n);
    void SetBytePerLineAuto(bool on);
    void UpdateBytePerLine();
    void SetAligned(bool a);
    int TextWidth(int n) const;
    unsigned int ScrollValueToAddress(int v) const;
    int AddressToScrollValue(unsigned int a) const;
    QString GetHexaLine(unsigned int address) const;
    QString GetAsciiLine(unsigned int address) const;
    QPoint PixelToLocation(const QPoint& p) const;
    void UpdateToolTip();

    void VScrollHome() override;
    void HScroll(ScrollAction a) override;
    void VScroll(ScrollAction a) override;
    void InitializeMenu() override;
    void Draw(QPainter& painter) override;

public slots:
    void OnMenu_AboutToShow() override;
    void OnAction_SetStartAddress(QAction* a);
    void OnAction_BytePerLine(QAction* a);
    void OnAction_Watch(QAction* a);
    void OnAction_LastWrite();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // The bytes that fit the view in automatic mode.
    int AutomaticBytePerLine() const;
    unsigned int TopAddress() const;
    // The bytes of the line that starts at address: a line stops at the end of memory.
    unsigned int LineLength(unsigned int address) const;
    void UpdateToolTip(const QPoint& globalPos);
};

#endif
