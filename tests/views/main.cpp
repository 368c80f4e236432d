#include "ViewsTests.h"

#include <QApplication>

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
