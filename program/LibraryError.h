#ifndef ZENDRA_PROGRAM_LIBRARYERROR_H
#define ZENDRA_PROGRAM_LIBRARYERROR_H

#include <QString>

// The last error of libelf or libdw told in French, for the loader's messages: its meaning,
// then the library's own English words in parentheses at the end, as a detail for whoever
// reports the fault ("données ELF invalides (libelf : invalid ELF file data)").
class LibraryError
{
public:
    static QString Elf();
    static QString Dwarf();

private:
    static QString Told(const char* library, const char* words);
};

#endif
