#ifndef ZENDRA_RUNNER_GDBRUN_H
#define ZENDRA_RUNNER_GDBRUN_H

#include "gdb/GdbServer.h"

#include <QObject>

class BatchRun;

// zendra-run --gdb: the prepared machine served to GDB, with the keys of --keys typed as it
// runs, until GDB detaches or kills it, or the first connection ends under --gdb-once.
class GdbRun : public QObject
{
    Q_OBJECT

public:
    explicit GdbRun(BatchRun& run);

    // Listens and says where on standard error; false with a one-line message if it cannot.
    bool Listen(QString* error);

private:
    void OnDisconnected(bool byCommand);

    BatchRun& run;
    GdbServer server;
};

#endif
