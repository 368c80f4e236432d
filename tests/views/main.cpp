// The view tests, run one after the other by one executable.
#include <QApplication>

int RunDisaViewTests(int argc, char** argv);
int RunMemoryViewTests(int argc, char** argv);
int RunPageTests(int argc, char** argv);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    int failures = 0;
    failures += RunDisaViewTests(argc, argv);
    failures += RunMemoryViewTests(argc, argv);
    failures += RunPageTests(argc, argv);
    return failures;
}
