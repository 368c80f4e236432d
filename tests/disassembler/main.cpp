// The disassembler's tests: line formatting, every instruction form, the comparison with
// objdump, and input that must not break it.
#include <QCoreApplication>

int RunFormattingTests(int argc, char** argv);
int RunInstructionTests(int argc, char** argv);
int RunPeerTests(int argc, char** argv);
int RunBadInputTests(int argc, char** argv);

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    int failures = 0;
    failures += RunFormattingTests(argc, argv);
    failures += RunInstructionTests(argc, argv);
    failures += RunPeerTests(argc, argv);
    failures += RunBadInputTests(argc, argv);
    return failures;
}
