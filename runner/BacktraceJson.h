#ifndef ZENDRA_RUNNER_BACKTRACEJSON_H
#define ZENDRA_RUNNER_BACKTRACEJSON_H

#include <QJsonArray>
#include <QString>

class Document;

// The call stack at a run's stop for --json: one object per frame from the innermost, with
// its function, file, line, pc and arguments (name and value as GDB prints them).
class BacktraceJson
{
public:
    // The frames of the document's stopped machine; *end says why the stack was cut
    // short, empty when it reaches the outermost frame.
    static QJsonArray Frames(const Document& document, QString* end);
};

#endif
