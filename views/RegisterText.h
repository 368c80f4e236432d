#ifndef ZENDRA_VIEWS_REGISTERTEXT_H
#define ZENDRA_VIEWS_REGISTERTEXT_H

#include <QColor>
#include <QLineEdit>
#include <QString>

// A one-line field that shows a 32-bit value in a chosen base, size and signedness, and
// colours itself when the value differs from the reference recorded before a run or step.
class RegisterText : public QLineEdit
{
    Q_OBJECT

public:
    enum Format { Hexadecimal = 0, Decimal = 1, Binary = 2, Characters = 3 };

    explicit RegisterText(QWidget* parent = nullptr);

    void SetValue(unsigned int v);
    void StoreReference();

    // The text of v in this field's format, size and signedness.
    QString Text(unsigned int v) const;

    // The character shown for one byte of a value: its Latin-1 character, or "." for the
    // control codes below 0x20 and the soft hyphen, which would show nothing.
    static QChar ByteCharacter(unsigned int byte);

    unsigned int value;
    unsigned int reference;
    int format;
    int size;
    bool isSigned;
    QString binaryPrefix;
    QString hexaPrefix;
    bool highlight;
    QColor changedTextColor;
    QColor changedBackColor;
    QColor textColor;
    QColor backColor;

private:
    void UpdateColors();

    // Which colours the palette holds now (-1: not set by this field yet), so that a value
    // shown again in the same state does not rebuild the palette.
    int shownChanged;
};

#endif
