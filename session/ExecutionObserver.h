#ifndef ZENDRA_SESSION_EXECUTIONOBSERVER_H
#define ZENDRA_SESSION_EXECUTIONOBSERVER_H

// A tool that sees every instruction that the machine executes forwards (a trace, a
// profiler, a coverage map). While one observes, runs go instruction by instruction instead
// of in slices; while none does, the engine pays nothing for the seam.
class ExecutionObserver
{
public:
    // After the instruction fetched at address completed (its exception taken, if it raised
    // one); not after one that faulted, which the machine did not complete.
    virtual void Executed(unsigned int address) = 0;

protected:
    ~ExecutionObserver() = default;
};

#endif
