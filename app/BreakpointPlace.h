#ifndef ZENDRA_APP_BREAKPOINTPLACE_H
#define ZENDRA_APP_BREAKPOINTPLACE_H

#include <QString>

class Document;

// Where a breakpoint stands in the program's own terms, so that it follows a rebuild: the
// source line whose first statement it is on, else the function (or label) and the offset
// in it. Written as "l;line;file" or "f;offset;name", the file or name last, whatever they
// hold.
class BreakpointPlace
{
public:
    // Empty where the program has neither lines nor a symbol there.
    static QString Describe(const Document& document, unsigned int address);
    // The address of the place in the document's program now; false where it is gone.
    static bool Resolve(const Document& document, const QString& place, unsigned int* address);
};

#endif
