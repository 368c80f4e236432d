#include "program/ElfLoader.h"

#include "core/Memory.h"
#include "program/LineTable.h"
#include "program/SymbolTable.h"

#include <QFile>

#include <dwarf.h>
#include <elfutils/libdw.h>
#include <gelf.h>
#include <libelf.h>

#include <algorithm>
#include <vector>

namespace {

constexpr unsigned long long addressSpace = 0x1000000;
// Far beyond any 68000 program with its debugging information; a larger file is refused
// before it is read into memory.
constexpr qint64 largestFile = 512ll * 1024 * 1024;

struct Segment
{
    int number;
    unsigned long long address;
    unsigned long long memorySize;
    unsigned long long offset;
    unsigned long long fileSize;
};

// The handles of one reading, released whatever way it ends.
struct Handles
{
    Elf* elf = nullptr;
    Dwarf* dwarf = nullptr;
    ~Handles()
    {
        if (dwarf)
            dwarf_end(dwarf);
        if (elf)
            elf_end(elf);
    }
};

QString Hex(unsigned long long value)
{
    return QStringLiteral("$") + QString::number(value, 16).toUpper();
}

QString ElfError()
{
    const char* message = elf_errmsg(-1);
    return QString::fromUtf8(message ? message : "?");
}

QString DwarfError()
{
    const char* message = dwarf_errmsg(-1);
    return QString::fromUtf8(message ? message : "?");
}

} // namespace

ElfLoader::ElfLoader(const QString& fileName, Memory* memory, SymbolTable* symbols, LineTable* lines)
    : fileName(fileName), memory(memory), symbols(symbols), lines(lines)
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

bool ElfLoader::Load()
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        errorMessage = QStringLiteral("Une erreur est survenue lors de l'accès au fichier suivant :\n\"%1\".").arg(fileName);
        return false;
    }
    if (file.size() > largestFile)
        return Fail(QStringLiteral("Il est trop grand (%1 octets) pour un programme 68000.").arg(file.size()));
    const QByteArray image = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        errorMessage = QStringLiteral("Une erreur est survenue lors de l'accès au fichier suivant :\n\"%1\".").arg(fileName);
        return false;
    }
    return Load(image);
}

bool ElfLoader::Load(const QByteArray& image)
{
    errorMessage.clear();
    if (!IsElf(image))
        return Fail(QStringLiteral("Il ne commence pas par la signature d'un fichier ELF."));
    if (image.size() < EI_NIDENT + 1)
        return Fail(QStringLiteral("Il est tronqué : son en-tête ELF est incomplet."));
    const unsigned char elfClass = static_cast<unsigned char>(image[EI_CLASS]);
    if (elfClass != ELFCLASS32)
        return Fail(elfClass == ELFCLASS64
                        ? QStringLiteral("Il est au format ELF 64 bits ; un programme 68000 est au format 32 bits.")
                        : QStringLiteral("Sa classe ELF (%1) est inconnue ; un programme 68000 est au format 32 bits.")
                              .arg(elfClass));
    const unsigned char order = static_cast<unsigned char>(image[EI_DATA]);
    if (order != ELFDATA2MSB)
        return Fail(order == ELFDATA2LSB
                        ? QStringLiteral("Ses données sont rangées petit-boutiste ; le 68000 est gros-boutiste.")
                        : QStringLiteral("L'ordre de ses octets (%1) est inconnu ; le 68000 est gros-boutiste.").arg(order));
    if (image.size() < qsizetype(sizeof(Elf32_Ehdr)))
        return Fail(QStringLiteral("Il est tronqué : son en-tête ELF est incomplet."));

    elf_version(EV_CURRENT);
    // libelf reads from a buffer of its own, which the copy gives it.
    QByteArray bytes = image;
    const unsigned long long size = static_cast<unsigned long long>(bytes.size());
    Handles h;
    h.elf = elf_memory(bytes.data(), std::size_t(bytes.size()));
    GElf_Ehdr header;
    if (!h.elf || elf_kind(h.elf) != ELF_K_ELF || !gelf_getehdr(h.elf, &header))
        return Fail(QStringLiteral("Son en-tête ELF est illisible (%1).").arg(ElfError()));
    if (header.e_machine != EM_68K)
        return Fail(QStringLiteral("Il est destiné à une autre machine que le 68000 (machine ELF %1).").arg(header.e_machine));
    if (header.e_type != ET_EXEC)
        return Fail(header.e_type == ET_REL
                        ? QStringLiteral("C'est un fichier objet (type ELF %1) : liez-le pour obtenir un exécutable.")
                              .arg(header.e_type)
                        : QStringLiteral("Ce n'est pas un fichier exécutable (type ELF %1).").arg(header.e_type));

    // The segments: each inside the file, inside the address space, apart from the others.
    std::size_t segmentCount = 0;
    if (elf_getphdrnum(h.elf, &segmentCount) != 0)
        return Fail(QStringLiteral("Sa table des segments est illisible (%1).").arg(ElfError()));
    if (segmentCount > 0
        && (header.e_phentsize != sizeof(Elf32_Phdr)
            || header.e_phoff + static_cast<unsigned long long>(segmentCount) * sizeof(Elf32_Phdr) > size))
        return Fail(QStringLiteral("Sa table des segments (%1 entrées à l'offset %2) dépasse la fin du fichier.")
                        .arg(segmentCount)
                        .arg(header.e_phoff));
    std::vector<Segment> segments;
    for (std::size_t i = 0; i < segmentCount; ++i) {
        GElf_Phdr p;
        if (!gelf_getphdr(h.elf, int(i), &p))
            return Fail(QStringLiteral("Sa table des segments est illisible (%1).").arg(ElfError()));
        if (p.p_type != PT_LOAD || p.p_memsz == 0)
            continue;
        const int number = int(i);
        if (p.p_filesz > p.p_memsz)
            return Fail(QStringLiteral("Le segment %1 occupe plus d'octets dans le fichier qu'en mémoire.").arg(number));
        if (p.p_offset + p.p_filesz > size)
            return Fail(QStringLiteral("Les données du segment %1 dépassent la fin du fichier.").arg(number));
        if (p.p_paddr + p.p_memsz > addressSpace)
            return Fail(QStringLiteral("Le segment %1 (%2-%3) dépasse l'espace d'adressage de 16 Mo.")
                            .arg(number)
                            .arg(Hex(p.p_paddr), Hex(p.p_paddr + p.p_memsz - 1)));
        segments.push_back(Segment{number, p.p_paddr, p.p_memsz, p.p_offset, p.p_filesz});
    }
    if (segments.empty())
        return Fail(QStringLiteral("Il ne contient aucun segment à charger en mémoire."));
    std::vector<Segment> byAddress = segments;
    std::sort(byAddress.begin(), byAddress.end(),
              [](const Segment& a, const Segment& b) { return a.address < b.address; });
    for (std::size_t i = 1; i < byAddress.size(); ++i) {
        const Segment& a = byAddress[i - 1];
        const Segment& b = byAddress[i];
        if (a.address + a.memorySize > b.address)
            return Fail(QStringLiteral("Les segments %1 et %2 se chevauchent en mémoire.")
                            .arg(std::min(a.number, b.number))
                            .arg(std::max(a.number, b.number)));
    }

    // The sections, where the symbols and the debugging information are. libelf drops a
    // section table that lies outside the file without a word, so its place is checked here.
    std::size_t sectionCount = header.e_shnum;
    if (sectionCount == 0 && header.e_shoff != 0 && elf_getshdrnum(h.elf, &sectionCount) != 0)
        return Fail(QStringLiteral("Sa table des sections est illisible (%1).").arg(ElfError()));
    if (sectionCount > 0
        && (header.e_shentsize != sizeof(Elf32_Shdr)
            || header.e_shoff + static_cast<unsigned long long>(sectionCount) * sizeof(Elf32_Shdr) > size))
        return Fail(QStringLiteral("Sa table des sections (%1 entrées à l'offset %2) dépasse la fin du fichier.")
                        .arg(sectionCount)
                        .arg(header.e_shoff));
    std::size_t readable = 0;
    if (elf_getshdrnum(h.elf, &readable) != 0 || readable != sectionCount)
        return Fail(QStringLiteral("Sa table des sections est illisible (%1).").arg(ElfError()));
    std::size_t namesIndex = 0;
    if (sectionCount > 0 && elf_getshdrstrndx(h.elf, &namesIndex) != 0)
        return Fail(QStringLiteral("Sa table des sections est illisible (%1).").arg(ElfError()));

    SymbolTable newSymbols;
    bool debugging = false;
    for (std::size_t i = 1; i < sectionCount; ++i) {
        Elf_Scn* section = elf_getscn(h.elf, i);
        GElf_Shdr s;
        if (!section || !gelf_getshdr(section, &s))
            return Fail(QStringLiteral("Sa table des sections est illisible (%1).").arg(ElfError()));
        if (s.sh_type != SHT_NOBITS && s.sh_offset + s.sh_size > size)
            return Fail(QStringLiteral("La section %1 dépasse la fin du fichier.").arg(i));
        const char* name = elf_strptr(h.elf, namesIndex, s.sh_name);
        if (name && (qstrcmp(name, ".debug_info") == 0 || qstrcmp(name, ".debug_line") == 0))
            debugging = true;
        if (s.sh_type != SHT_SYMTAB)
            continue;
        if (s.sh_entsize != sizeof(Elf32_Sym) || s.sh_link == 0 || s.sh_link >= sectionCount)
            return Fail(QStringLiteral("Sa table des symboles est corrompue (section %1).").arg(i));
        Elf_Data* data = elf_getdata(section, nullptr);
        if (!data)
            return Fail(QStringLiteral("Sa table des symboles est corrompue (%1).").arg(ElfError()));
        const std::size_t count = s.sh_size / sizeof(Elf32_Sym);
        for (std::size_t k = 1; k < count; ++k) {
            GElf_Sym sym;
            if (!gelf_getsym(data, int(k), &sym))
                return Fail(QStringLiteral("Sa table des symboles est corrompue (%1).").arg(ElfError()));
            const char* symbolName = elf_strptr(h.elf, s.sh_link, sym.st_name);
            if (!symbolName)
                return Fail(QStringLiteral("Sa table des symboles est corrompue (le nom du symbole %1 est hors de "
                                           "sa table des noms).")
                                .arg(k));
            SymbolTable::Kind kind;
            switch (GELF_ST_TYPE(sym.st_info)) {
            case STT_NOTYPE: kind = SymbolTable::Label; break;
            case STT_FUNC: kind = SymbolTable::Function; break;
            case STT_OBJECT: kind = SymbolTable::Object; break;
            default: continue;
            }
            if (sym.st_shndx == SHN_UNDEF || sym.st_shndx == SHN_COMMON)
                continue;
            if (sym.st_shndx == SHN_ABS)
                kind = SymbolTable::Constant;
            else if (sym.st_shndx < SHN_LORESERVE && sym.st_shndx >= sectionCount)
                return Fail(QStringLiteral("Sa table des symboles est corrompue (symbole %1 dans la section %2, "
                                           "qui n'existe pas).")
                                .arg(k)
                                .arg(sym.st_shndx));
            newSymbols.Add(QByteArray(symbolName), unsigned(sym.st_value), unsigned(sym.st_size), kind,
                           GELF_ST_BIND(sym.st_info) != STB_LOCAL);
        }
    }
    newSymbols.Finish();

    // The line table of every unit that has one.
    LineTable newLines;
    if (debugging) {
        h.dwarf = dwarf_begin_elf(h.elf, DWARF_C_READ, nullptr);
        if (!h.dwarf)
            return Fail(QStringLiteral("Sa table des lignes source est corrompue (%1).").arg(DwarfError()));
        Dwarf_CU* unit = nullptr;
        Dwarf_Die unitDie;
        int status;
        while ((status = dwarf_get_units(h.dwarf, unit, &unit, nullptr, nullptr, &unitDie, nullptr)) == 0) {
            if (!dwarf_hasattr(&unitDie, DW_AT_stmt_list))
                continue;
            Dwarf_Lines* unitLines = nullptr;
            std::size_t count = 0;
            if (dwarf_getsrclines(&unitDie, &unitLines, &count) != 0)
                return Fail(QStringLiteral("Sa table des lignes source est corrompue (%1).").arg(DwarfError()));
            for (std::size_t k = 0; k < count; ++k) {
                Dwarf_Line* l = dwarf_onesrcline(unitLines, k);
                Dwarf_Addr address = 0;
                int lineNumber = 0;
                bool statement = false;
                bool end = false;
                const char* path = l ? dwarf_linesrc(l, nullptr, nullptr) : nullptr;
                if (!l || !path || dwarf_lineaddr(l, &address) != 0 || dwarf_lineno(l, &lineNumber) != 0
                    || dwarf_linebeginstatement(l, &statement) != 0 || dwarf_lineendsequence(l, &end) != 0)
                    return Fail(QStringLiteral("Sa table des lignes source est corrompue (%1).").arg(DwarfError()));
                const int file = newLines.AddFile(QString::fromUtf8(path));
                newLines.Add(LineTable::Row{unsigned(address), file, lineNumber, statement, end});
            }
        }
        if (status < 0)
            return Fail(QStringLiteral("Sa table des lignes source est corrompue (%1).").arg(DwarfError()));
    }
    newLines.Finish();

    // Everything is read: now the machine changes.
    const unsigned char* data = reinterpret_cast<const unsigned char*>(image.constData());
    for (const Segment& segment : segments) {
        unsigned int address = unsigned(segment.address);
        for (unsigned long long i = 0; i < segment.memorySize; ++i, ++address) {
            const unsigned int byte = i < segment.fileSize ? data[segment.offset + i] : 0;
            memory->Write(address, byte, 8, true);
        }
    }
    *symbols = std::move(newSymbols);
    *lines = std::move(newLines);
    return true;
}
