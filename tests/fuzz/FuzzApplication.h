#ifndef ZENDRA_TESTS_FUZZ_FUZZAPPLICATION_H
#define ZENDRA_TESTS_FUZZ_FUZZAPPLICATION_H

#include <QCoreApplication>

// The application that Qt's settings, sockets and command-line parser need, made by the first
// input and kept for the others. Its name is what usage lines show.
inline void MakeFuzzApplication(const char* name)
{
    static int argc = 1;
    static char* argv[] = {const_cast<char*>(name), nullptr};
    static QCoreApplication application(argc, argv);
}

#endif
