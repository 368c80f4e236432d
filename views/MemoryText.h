#ifndef ZENDRA_VIEWS_MEMORYTEXT_H
#define ZENDRA_VIEWS_MEMORYTEXT_H

#include <QLineEdit>

class Memory;

// A line that shows the memory at an address: byteCount bytes as hexadecimal words, or as
// characters, or dashes when there is no address to show.
class MemoryText : public QLineEdit
{
    Q_OBJECT

public:
    enum Mode { Words = 0, Characters = 1 };

    explicit MemoryText(QWidget* parent = nullptr);

    void SetAddress(unsigned int a);
    void Update();

    // The text for the current fields.
    QString Text() const;
    // The character shown for one byte of memory: "." for what does not print.
    static QChar ByteCharacter(unsigned int byte);

    // Every memory text of the application reads the one document's memory.
    static Memory* memory;

    unsigned int address;
    int byteCount;
    int mode;
    bool invalid;
};

#endif
