#include "program/LibraryError.h"

#include <QHash>

#include <elfutils/libdw.h>
#include <libelf.h>

namespace {

// The messages of elfutils, which gives no stable codes to translate by.
const QHash<QByteArray, QString>& Meanings()
{
    static const QHash<QByteArray, QString> meanings = {
        // libelf
        {"unknown error", QStringLiteral("erreur inconnue")},
        {"unknown version", QStringLiteral("version ELF inconnue")},
        {"unknown type", QStringLiteral("type inconnu")},
        {"invalid `Elf' handle", QStringLiteral("descripteur ELF invalide")},
        {"invalid size of source operand", QStringLiteral("taille de la source invalide")},
        {"invalid size of destination operand", QStringLiteral("taille de la destination invalide")},
        {"invalid encoding", QStringLiteral("codage invalide")},
        {"out of memory", QStringLiteral("mémoire épuisée")},
        {"invalid file descriptor", QStringLiteral("descripteur de fichier invalide")},
        {"invalid ELF file data", QStringLiteral("données ELF invalides")},
        {"invalid operation", QStringLiteral("opération invalide")},
        {"ELF version not set", QStringLiteral("version ELF non fixée")},
        {"invalid command", QStringLiteral("commande invalide")},
        {"offset out of range", QStringLiteral("position hors du fichier")},
        {"cannot read data from file", QStringLiteral("lecture du fichier impossible")},
        {"invalid binary class", QStringLiteral("classe ELF invalide")},
        {"invalid section index", QStringLiteral("numéro de section invalide")},
        {"invalid operand", QStringLiteral("opérande invalide")},
        {"invalid section", QStringLiteral("section invalide")},
        {"executable header not created first", QStringLiteral("en-tête ELF absent")},
        {"cannot manipulate null section", QStringLiteral("section nulle")},
        {"data/scn mismatch", QStringLiteral("données et section incohérentes")},
        {"invalid section header", QStringLiteral("en-tête de section invalide")},
        {"invalid data", QStringLiteral("données invalides")},
        {"unknown data encoding", QStringLiteral("codage des données inconnu")},
        {"section `sh_size' too small for data", QStringLiteral("section trop petite pour ses données")},
        {"invalid section alignment", QStringLiteral("alignement de section invalide")},
        {"invalid section entry size", QStringLiteral("taille des entrées de section invalide")},
        {"no such file", QStringLiteral("fichier introuvable")},
        {"file has no program header", QStringLiteral("aucune table des segments")},
        {"invalid offset", QStringLiteral("position invalide")},
        {"invalid section type", QStringLiteral("type de section invalide")},
        {"invalid section flags", QStringLiteral("attributs de section invalides")},
        {"section does not contain compressed data", QStringLiteral("la section n'est pas compressée")},
        {"section contains compressed data", QStringLiteral("la section est compressée")},
        {"unknown compression type", QStringLiteral("compression inconnue")},
        {"cannot decompress data", QStringLiteral("décompression impossible")},
        // libdw
        {"invalid access", QStringLiteral("accès invalide")},
        {"no regular file", QStringLiteral("pas un fichier ordinaire")},
        {"I/O error", QStringLiteral("erreur d'entrée-sortie")},
        {"invalid ELF file", QStringLiteral("fichier ELF invalide")},
        {"no DWARF information", QStringLiteral("aucune information de débogage DWARF")},
        {"cannot decompress DWARF", QStringLiteral("décompression des informations DWARF impossible")},
        {"no ELF file", QStringLiteral("pas un fichier ELF")},
        {"cannot get ELF header", QStringLiteral("en-tête ELF illisible")},
        {"not implemented", QStringLiteral("non pris en charge")},
        {"invalid version", QStringLiteral("version invalide")},
        {"invalid file", QStringLiteral("fichier invalide")},
        {"no entries found", QStringLiteral("aucune entrée")},
        {"invalid DWARF", QStringLiteral("informations DWARF invalides")},
        {"no string data", QStringLiteral("aucune chaîne")},
        {".debug_str section missing", QStringLiteral("section .debug_str absente")},
        {".debug_line_str section missing", QStringLiteral("section .debug_line_str absente")},
        {".debug_str_offsets section missing", QStringLiteral("section .debug_str_offsets absente")},
        {"no address value", QStringLiteral("aucune adresse")},
        {"no constant value", QStringLiteral("aucune constante")},
        {"no reference value", QStringLiteral("aucune référence")},
        {"invalid reference value", QStringLiteral("référence invalide")},
        {".debug_line section missing", QStringLiteral("section .debug_line absente")},
        {"invalid .debug_line section", QStringLiteral("section .debug_line invalide")},
        {"debug information too big", QStringLiteral("informations de débogage trop grandes")},
        {"invalid DWARF version", QStringLiteral("version DWARF invalide")},
        {"invalid directory index", QStringLiteral("numéro de dossier invalide")},
        {"address out of range", QStringLiteral("adresse hors limites")},
        {"invalid line index", QStringLiteral("numéro de ligne invalide")},
        {"invalid address range index", QStringLiteral("numéro de plage d'adresses invalide")},
        {"no matching address range", QStringLiteral("aucune plage d'adresses correspondante")},
        {"no flag value", QStringLiteral("aucun indicateur")},
        {".debug_addr section missing", QStringLiteral("section .debug_addr absente")},
        {"invalid opcode", QStringLiteral("code d'opération invalide")},
        {"not a CU (unit) DIE", QStringLiteral("pas une unité de compilation")},
        {"unknown language code", QStringLiteral("langage inconnu")},
    };
    return meanings;
}

} // namespace

QString LibraryError::Told(const char* library, const char* words)
{
    const QByteArray english(words ? words : "unknown error");
    const QString meaning = Meanings().value(english, QStringLiteral("erreur non décrite"));
    return QStringLiteral("%1 (%2 : %3)").arg(meaning, QLatin1String(library), QString::fromUtf8(english));
}

QString LibraryError::Elf()
{
    return Told("libelf", elf_errmsg(-1));
}

QString LibraryError::Dwarf()
{
    return Told("libdw", dwarf_errmsg(-1));
}
