#ifndef ZENDRA_CORE_EXECUTIONOBSERVER_H
#define ZENDRA_CORE_EXECUTIONOBSERVER_H

// A tool that sees every instruction that the machine executes forwards (a trace, a
// profiler, a coverage map). Quick runs tell it from within their slices; recorded runs go
// instruction by instruction for it. While none observes, the engine pays nothing for the
// seam.
class ExecutionObserver
{
public:
    // After the instruction fetched at address completed (its exception taken, if it raised
    // one); not after one that faulted, which the machine did not complete. In a quick run
    // the condition codes may not be settled yet when it is told: it must not read them.
    virtual void Executed(unsigned int address) = 0;
    // Around each operation of the engine that it observes (a run, a step), on the thread
    // that runs the machine: the machine may have changed in between (undone, reset, edited).
    virtual void Starting() {}
    virtual void Stopped() {}

protected:
    ~ExecutionObserver() = default;
};

#endif
