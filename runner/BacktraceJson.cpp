#include "runner/BacktraceJson.h"

#include "core/Emulator.h"
#include "session/CallStack.h"
#include "session/Document.h"
#include "session/ValueFormatter.h"

#include <QJsonObject>
#include <QJsonValue>

QJsonArray BacktraceJson::Frames(const Document& document, QString* end)
{
    CallStack stack(document);
    stack.Unwind(*document.emulator->registers);
    const ValueFormatter formatter(document.debugInfo, document.memory, document.symbols);
    QJsonArray frames;
    for (int i = 0; i < int(stack.frames.size()); ++i) {
        const CallStack::Frame& f = stack.frames[std::size_t(i)];
        QJsonArray args;
        for (const DebugValue& v : stack.Arguments(i)) {
            QJsonObject arg;
            arg.insert(QStringLiteral("name"), v.name);
            arg.insert(QStringLiteral("value"), formatter.Text(v));
            args.append(arg);
        }
        QJsonObject frame;
        frame.insert(QStringLiteral("pc"), double(f.pc));
        frame.insert(QStringLiteral("function"), f.name.isEmpty() ? QJsonValue() : QJsonValue(f.name));
        frame.insert(QStringLiteral("file"), f.file.isEmpty() ? QJsonValue() : QJsonValue(f.file));
        frame.insert(QStringLiteral("line"), f.line > 0 ? QJsonValue(f.line) : QJsonValue());
        frame.insert(QStringLiteral("args"), args);
        frames.append(frame);
    }
    *end = stack.endMessage;
    return frames;
}
