#ifndef ZENDRA_VIEWS_STACKTEXT_H
#define ZENDRA_VIEWS_STACKTEXT_H

#include <QLabel>

class Memory;

// The stack entries around an address, one a line, as many as the label's height holds:
// from the address upwards (direction 0) or below it, the nearest at the bottom
// (direction 1).
class StackText : public QLabel
{
    Q_OBJECT

public:
    explicit StackText(QWidget* parent = nullptr);

    void SetAddress(unsigned int a);
    void Update();

    // The lines for the current fields, joined by line separators.
    QString Text() const;

    int entrySize;
    Memory* memory;
    unsigned int address;
    int lineCount;
    int direction;
};

#endif
