#include "program/ElfLoader.h"

#include "core/Hex.h"
#include "program/DebugInfoReader.h"
#include "program/LibraryError.h"
#include "program/LineTable.h"
#include "program/ProgramImage.h"
#include "program/SymbolTable.h"

#include <QFile>

#include <dwarf.h>
#include <elfutils/libdw.h>
#include <gelf.h>
#include <libelf.h>

#include <algorithm>
#include <memory>
#include <cstddef>
#include <vector>

namespace {

constexpr unsigned long long addressSpace = 0x1000000;
// Far beyond any 68000 program with its debugging information; a larger file is refused
// before it is read into memory.
constexpr qint64 largestFile = 512ll * 1024 * 1024;

// Where a loadable segment lies, in the file and in memory, as its header says.
struct Placement
{
    int number;
    unsigned long long address;
    unsigned long long memorySize;
    unsigned long long offset;
    unsigned long long fileSize;
};

// One reading of a file: libelf's handles, released whatever way it ends, what the headers
// said, and why the file is refused.
struct Reading
{
    explicit Reading(const QByteArray& file) : file(file), size(static_cast<unsigned long long>(file.size())) {}
    ~Reading()
    {
        if (dwarf)
            dwarf_end(dwarf);
        if (elf)
            elf_end(elf);
    }
    Reading(const Reading&) = delete;
    Reading& operator=(const Reading&) = delete;

    const QByteArray& file;
    // libelf reads from a buffer of its own, which this copy gives it.
    QByteArray copy;
    unsigned long long size;
    Elf* elf = nullptr;
    Dwarf* dwarf = nullptr;
    GElf_Ehdr header{};
    std::size_t sectionCount = 0;
    std::size_t namesIndex = 0;
    bool debugging = false;
    QString reason;
};

bool Refuse(Reading& r, const QString& reason)
{
    r.reason = reason;
    return false;
}

bool HeaderTruncated(Reading& r)
{
    return Refuse(r, QStringLiteral("Il est tronqué : son en-tête ELF est incomplet."));
}

// The libraries' faults are told in French, their own words last: see LibraryError.
bool SegmentsUnreadable(Reading& r)
{
    return Refuse(r, QStringLiteral("Sa table des segments est illisible : %1.").arg(LibraryError::Elf()));
}

bool SectionsUnreadable(Reading& r)
{
    return Refuse(r, QStringLiteral("Sa table des sections est illisible : %1.").arg(LibraryError::Elf()));
}

bool SymbolsCorrupt(Reading& r, const QString& detail)
{
    return Refuse(r, QStringLiteral("Sa table des symboles est corrompue (%1).").arg(detail));
}

bool SymbolsUnreadable(Reading& r)
{
    return Refuse(r, QStringLiteral("Sa table des symboles est corrompue : %1.").arg(LibraryError::Elf()));
}

bool LinesCorrupt(Reading& r)
{
    return Refuse(r, QStringLiteral("Sa table des lignes source est corrompue : %1.").arg(LibraryError::Dwarf()));
}

// The identification bytes, read before libelf sees the file: a 32-bit big-endian ELF file.
bool CheckIdentity(Reading& r)
{
    if (!ElfLoader::IsElf(r.file))
        return Refuse(r, QStringLiteral("Il ne commence pas par la signature d'un fichier ELF."));
    if (r.file.size() < EI_NIDENT + 1)
        return HeaderTruncated(r);
    const unsigned char elfClass = static_cast<unsigned char>(r.file[EI_CLASS]);
    if (elfClass != ELFCLASS32)
        return Refuse(r, elfClass == ELFCLASS64
                             ? QStringLiteral("Il est au format ELF 64 bits ; un programme 68000 est au format 32 bits.")
                             : QStringLiteral("Sa classe ELF (%1) est inconnue ; un programme 68000 est au format 32 bits.")
                                   .arg(elfClass));
    const unsigned char order = static_cast<unsigned char>(r.file[EI_DATA]);
    if (order != ELFDATA2MSB)
        return Refuse(r, order == ELFDATA2LSB
                             ? QStringLiteral("Ses données sont rangées petit-boutiste ; le 68000 est gros-boutiste.")
                             : QStringLiteral("L'ordre de ses octets (%1) est inconnu ; le 68000 est gros-boutiste.").arg(order));
    if (r.file.size() < qsizetype(sizeof(Elf32_Ehdr)))
        return HeaderTruncated(r);
    return true;
}

// The ELF header, through libelf: a 68000 executable.
bool OpenHeader(Reading& r)
{
    elf_version(EV_CURRENT);
    r.copy = r.file;
    r.elf = elf_memory(r.copy.data(), std::size_t(r.copy.size()));
    if (!r.elf || elf_kind(r.elf) != ELF_K_ELF || !gelf_getehdr(r.elf, &r.header))
        return Refuse(r, QStringLiteral("Son en-tête ELF est illisible : %1.").arg(LibraryError::Elf()));
    if (r.header.e_machine != EM_68K)
        return Refuse(r, QStringLiteral("Il est destiné à une autre machine que le 68000 (machine ELF %1).")
                             .arg(r.header.e_machine));
    if (r.header.e_type != ET_EXEC)
        return Refuse(r, r.header.e_type == ET_REL
                             ? QStringLiteral("C'est un fichier objet (type ELF %1) : liez-le pour obtenir un exécutable.")
                                   .arg(r.header.e_type)
                             : QStringLiteral("Ce n'est pas un fichier exécutable (type ELF %1).").arg(r.header.e_type));
    return true;
}

// One entry of the segment table: a loadable segment inside the file and inside the
// address space joins the placements; any other kind is passed over.
bool ReadSegment(Reading& r, int number, std::vector<Placement>* placements)
{
    GElf_Phdr p;
    if (!gelf_getphdr(r.elf, number, &p))
        return SegmentsUnreadable(r);
    // An empty segment loads nothing; one with bytes in the file but none in memory is as
    // wrong as any whose file part is larger.
    if (p.p_type != PT_LOAD || (p.p_memsz == 0 && p.p_filesz == 0))
        return true;
    if (p.p_filesz > p.p_memsz)
        return Refuse(r, QStringLiteral("Le segment %1 occupe plus d'octets dans le fichier qu'en mémoire.").arg(number));
    if (p.p_offset + p.p_filesz > r.size)
        return Refuse(r, QStringLiteral("Les données du segment %1 dépassent la fin du fichier.").arg(number));
    if (p.p_paddr + p.p_memsz > addressSpace)
        return Refuse(r, QStringLiteral("Le segment %1 ($%2-$%3) dépasse l'espace d'adressage de 16 Mo.")
                             .arg(number)
                             .arg(Hex::Text(p.p_paddr), Hex::Text(p.p_paddr + p.p_memsz - 1)));
    placements->push_back(Placement{number, p.p_paddr, p.p_memsz, p.p_offset, p.p_filesz});
    return true;
}

bool ReadSegments(Reading& r, std::vector<Placement>* placements)
{
    std::size_t count = 0;
    if (elf_getphdrnum(r.elf, &count) != 0)
        return SegmentsUnreadable(r);
    if (count > 0
        && (r.header.e_phentsize != sizeof(Elf32_Phdr)
            || r.header.e_phoff + static_cast<unsigned long long>(count) * sizeof(Elf32_Phdr) > r.size))
        return Refuse(r, QStringLiteral("Sa table des segments (%1 entrées à l'offset %2) dépasse la fin du fichier.")
                             .arg(count)
                             .arg(r.header.e_phoff));
    for (std::size_t i = 0; i < count; ++i)
        if (!ReadSegment(r, int(i), placements))
            return false;
    if (placements->empty())
        return Refuse(r, QStringLiteral("Il ne contient aucun segment à charger en mémoire."));
    return true;
}

bool CheckOverlaps(Reading& r, std::vector<Placement> placements)
{
    std::sort(placements.begin(), placements.end(),
              [](const Placement& a, const Placement& b) { return a.address < b.address; });
    for (std::size_t i = 1; i < placements.size(); ++i) {
        const Placement& a = placements[i - 1];
        const Placement& b = placements[i];
        if (a.address + a.memorySize > b.address)
            return Refuse(r, QStringLiteral("Les segments %1 et %2 se chevauchent en mémoire.")
                                 .arg(std::min(a.number, b.number))
                                 .arg(std::max(a.number, b.number)));
    }
    return true;
}

// The number of sections: e_shnum, or where there are too many for it, the size of section
// 0 (e_shnum is then 0). It is read here rather than from libelf, which counts a table that
// does not fit in the file as none and would lose its symbols without a word.
bool CountSections(Reading& r)
{
    const GElf_Ehdr& h = r.header;
    r.sectionCount = h.e_shnum;
    if (r.sectionCount != 0 || h.e_shoff == 0)
        return true;
    if (h.e_shoff + sizeof(Elf32_Shdr) > r.size)
        return Refuse(r, QStringLiteral("Sa table des sections (à l'offset %1) dépasse la fin du fichier.").arg(h.e_shoff));
    const int at = int(h.e_shoff) + int(offsetof(Elf32_Shdr, sh_size));
    for (int i = 0; i < 4; ++i)
        r.sectionCount = (r.sectionCount << 8) | static_cast<unsigned char>(r.file[at + i]);
    if (r.sectionCount == 0)
        return Refuse(r, QStringLiteral("Sa table des sections est illisible : elle ne dit pas combien elle a d'entrées."));
    return true;
}

// libelf drops a section table that lies outside the file without a word, so its place is
// checked here.
bool CheckSectionTable(Reading& r)
{
    const GElf_Ehdr& h = r.header;
    if (!CountSections(r))
        return false;
    if (r.sectionCount > 0
        && (h.e_shentsize != sizeof(Elf32_Shdr)
            || h.e_shoff + static_cast<unsigned long long>(r.sectionCount) * sizeof(Elf32_Shdr) > r.size))
        return Refuse(r, QStringLiteral("Sa table des sections (%1 entrées à l'offset %2) dépasse la fin du fichier.")
                             .arg(r.sectionCount)
                             .arg(h.e_shoff));
    std::size_t readable = 0;
    if (elf_getshdrnum(r.elf, &readable) != 0)
        return SectionsUnreadable(r);
    if (readable != r.sectionCount)
        return Refuse(r, QStringLiteral("Sa table des sections est illisible : libelf y lit %1 entrées au lieu de %2.")
                             .arg(readable)
                             .arg(r.sectionCount));
    if (r.sectionCount > 0 && elf_getshdrstrndx(r.elf, &r.namesIndex) != 0)
        return SectionsUnreadable(r);
    return true;
}

// The kinds of symbol a program's author names; false for the others (sections, files).
bool KindOf(const GElf_Sym& sym, SymbolTable::Kind* kind)
{
    switch (GELF_ST_TYPE(sym.st_info)) {
    case STT_NOTYPE: *kind = SymbolTable::Label; return true;
    case STT_FUNC: *kind = SymbolTable::Function; return true;
    case STT_OBJECT: *kind = SymbolTable::Object; return true;
    default: return false;
    }
}

bool ReadSymbol(Reading& r, Elf_Data* data, std::size_t names, std::size_t k, SymbolTable* symbols)
{
    GElf_Sym sym;
    if (!gelf_getsym(data, int(k), &sym))
        return SymbolsUnreadable(r);
    const char* name = elf_strptr(r.elf, names, sym.st_name);
    if (!name)
        return SymbolsCorrupt(r, QStringLiteral("le nom du symbole %1 est hors de sa table des noms").arg(k));
    SymbolTable::Kind kind;
    if (!KindOf(sym, &kind) || sym.st_shndx == SHN_UNDEF || sym.st_shndx == SHN_COMMON)
        return true;
    if (sym.st_shndx == SHN_ABS)
        kind = SymbolTable::Constant;
    else if (sym.st_shndx < SHN_LORESERVE && sym.st_shndx >= r.sectionCount)
        return SymbolsCorrupt(r, QStringLiteral("symbole %1 dans la section %2, qui n'existe pas")
                                     .arg(k)
                                     .arg(sym.st_shndx));
    symbols->Add(QByteArray(name), unsigned(sym.st_value), unsigned(sym.st_size), kind,
                 GELF_ST_BIND(sym.st_info) != STB_LOCAL);
    return true;
}

bool ReadSymbolTable(Reading& r, Elf_Scn* section, const GElf_Shdr& s, std::size_t index, SymbolTable* symbols)
{
    if (s.sh_entsize != sizeof(Elf32_Sym) || s.sh_link == 0 || s.sh_link >= r.sectionCount)
        return SymbolsCorrupt(r, QStringLiteral("section %1").arg(index));
    Elf_Data* data = elf_getdata(section, nullptr);
    if (!data)
        return SymbolsUnreadable(r);
    const std::size_t count = s.sh_size / sizeof(Elf32_Sym);
    for (std::size_t k = 1; k < count; ++k)
        if (!ReadSymbol(r, data, s.sh_link, k, symbols))
            return false;
    return true;
}

// Each section inside the file; the symbols of the symbol table, and whether there is
// debugging information to read lines from.
bool ReadSections(Reading& r, SymbolTable* symbols)
{
    for (std::size_t i = 1; i < r.sectionCount; ++i) {
        Elf_Scn* section = elf_getscn(r.elf, i);
        GElf_Shdr s;
        if (!section || !gelf_getshdr(section, &s))
            return SectionsUnreadable(r);
        if (s.sh_type != SHT_NOBITS && s.sh_offset + s.sh_size > r.size)
            return Refuse(r, QStringLiteral("La section %1 dépasse la fin du fichier.").arg(i));
        const char* name = elf_strptr(r.elf, r.namesIndex, s.sh_name);
        if (name && (qstrcmp(name, ".debug_info") == 0 || qstrcmp(name, ".debug_line") == 0))
            r.debugging = true;
        if (s.sh_type == SHT_SYMTAB && !ReadSymbolTable(r, section, s, i, symbols))
            return false;
    }
    symbols->Finish();
    return true;
}

bool ReadLine(Reading& r, Dwarf_Lines* unitLines, std::size_t k, LineTable* lines)
{
    Dwarf_Line* l = dwarf_onesrcline(unitLines, k);
    Dwarf_Addr address = 0;
    int lineNumber = 0;
    bool statement = false;
    bool end = false;
    const char* path = l ? dwarf_linesrc(l, nullptr, nullptr) : nullptr;
    if (!l || !path || dwarf_lineaddr(l, &address) != 0 || dwarf_lineno(l, &lineNumber) != 0
        || dwarf_linebeginstatement(l, &statement) != 0 || dwarf_lineendsequence(l, &end) != 0)
        return LinesCorrupt(r);
    const int file = lines->AddFile(QString::fromUtf8(path));
    lines->Add(LineTable::Row{unsigned(address), file, lineNumber, statement, end});
    return true;
}

bool ReadUnitLines(Reading& r, Dwarf_Die* unit, LineTable* lines)
{
    if (!dwarf_hasattr(unit, DW_AT_stmt_list))
        return true;
    Dwarf_Lines* unitLines = nullptr;
    std::size_t count = 0;
    if (dwarf_getsrclines(unit, &unitLines, &count) != 0)
        return LinesCorrupt(r);
    for (std::size_t k = 0; k < count; ++k)
        if (!ReadLine(r, unitLines, k, lines))
            return false;
    return true;
}

// The line table of every unit that has one.
bool ReadLines(Reading& r, LineTable* lines)
{
    if (r.debugging) {
        r.dwarf = dwarf_begin_elf(r.elf, DWARF_C_READ, nullptr);
        if (!r.dwarf)
            return LinesCorrupt(r);
        Dwarf_CU* unit = nullptr;
        Dwarf_Die unitDie;
        int status;
        while ((status = dwarf_get_units(r.dwarf, unit, &unit, nullptr, nullptr, &unitDie, nullptr)) == 0)
            if (!ReadUnitLines(r, &unitDie, lines))
                return false;
        if (status < 0)
            return LinesCorrupt(r);
    }
    lines->Finish();
    return true;
}

// The functions, variables and types, and the unwinding rules: what cannot be read of them
// is told in the image's problems, and the program loads all the same.
void ReadDebugInfo(Reading& r, DebugInfo* debug)
{
    if (!r.dwarf)
        return;
    DebugInfoReader::Read(r.dwarf, debug);
    auto frames = std::make_shared<const CallFrameTable>(r.file);
    if (!frames->IsEmpty())
        debug->frames = std::move(frames);
}

void CopySegments(const Reading& r, const std::vector<Placement>& placements, ProgramImage* image)
{
    for (const Placement& p : placements)
        image->segments.push_back(ProgramImage::Segment{unsigned(p.address), r.file.mid(int(p.offset), int(p.fileSize)),
                                                        unsigned(p.memorySize)});
}

bool ReadAll(Reading& r, ProgramImage* image)
{
    std::vector<Placement> placements;
    if (!CheckIdentity(r) || !OpenHeader(r) || !ReadSegments(r, &placements) || !CheckOverlaps(r, placements)
        || !CheckSectionTable(r) || !ReadSections(r, &image->symbols) || !ReadLines(r, &image->lines))
        return false;
    CopySegments(r, placements, image);
    image->entry = unsigned(r.header.e_entry);
    ReadDebugInfo(r, &image->debug);
    image->debug.entry = image->entry;
    for (const Placement& p : placements)
        image->debug.segments.push_back(DebugInfo::AddressRange{unsigned(p.address), unsigned(p.address + p.memorySize)});
    return true;
}

} // namespace

ElfLoader::ElfLoader(const QString& fileName) : fileName(fileName)
{
}

bool ElfLoader::IsElf(const QByteArray& start)
{
    return start.startsWith(QByteArray(ELFMAG, SELFMAG));
}

bool ElfLoader::Fail(const QString& reason)
{
    errorMessage = QStringLiteral("Le fichier suivant n'est pas un exécutable 68000 valide :\n\"%1\"\n%2")
                       .arg(fileName, reason);
    return false;
}

bool ElfLoader::AccessFailed()
{
    errorMessage = QStringLiteral("Une erreur est survenue lors de l'accès au fichier suivant :\n\"%1\".").arg(fileName);
    return false;
}

bool ElfLoader::Parse(ProgramImage* image)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return AccessFailed();
    if (file.size() > largestFile)
        return Fail(QStringLiteral("Il est trop grand (%1 octets) pour un programme 68000.").arg(file.size()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return AccessFailed();
    return Parse(bytes, image);
}

bool ElfLoader::Parse(const QByteArray& bytes, ProgramImage* image)
{
    errorMessage.clear();
    Reading r(bytes);
    ProgramImage read;
    if (!ReadAll(r, &read))
        return Fail(r.reason);
    *image = std::move(read);
    return true;
}
