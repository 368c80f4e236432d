#include "runner/GdbRun.h"

#include "runner/BatchRun.h"
#include "session/Session.h"

#include <QCoreApplication>

#include <cstdio>

GdbRun::GdbRun(BatchRun& run)
    : run(run), server(run.session.get())
{
    run.PaceKeys();
    connect(&server, &GdbServer::Disconnected, this, &GdbRun::OnDisconnected);
}

bool GdbRun::Listen(QString* error)
{
    const QHostAddress address(run.options.gdbAddress);
    if (!server.Listen(address, quint16(run.options.gdbPort), error))
        return false;
    std::fprintf(stderr, "GDB : en attente sur %s\n", qUtf8Printable(server.Where()));
    // After the line that scripts read the port from.
    const QString warning = server.ExposureWarning();
    if (!warning.isEmpty())
        std::fprintf(stderr, "%s\n", qUtf8Printable(warning));
    std::fflush(stderr);
    return true;
}

void GdbRun::OnDisconnected(bool byCommand)
{
    if (byCommand || run.options.gdbOnce)
        QCoreApplication::exit(0);
}
