#include "EmulatorTests.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    int failures = 0;
    failures += RunEngineTests(argc, argv);
    failures += RunArithmeticTests(argc, argv);
    failures += RunLogicTests(argc, argv);
    failures += RunControlTests(argc, argv);
    return failures;
}
