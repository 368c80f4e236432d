#include "runner/RunOptions.h"

#include "core/Keyboard.h"

#include <QCommandLineParser>
#include <QHostAddress>
#include <QRegularExpression>

namespace {

const QStringList registerNames = {"d0", "d1", "d2", "d3", "d4", "d5", "d6", "d7", "a0", "a1", "a2",
                                   "a3", "a4", "a5", "a6", "a7", "usp", "ssp", "pc", "sr"};

} // namespace

QString RunOptions::OneLine(const QString& text)
{
    QString line;
    line.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\n'))
            line += QStringLiteral("\\n");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == QChar(0x2028) || c == QChar(0x2029))
            line += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            line += c;
    }
    return line;
}

bool RunOptions::Parse(const QStringList& arguments, QString* error)
{
    if (ParseArguments(arguments, error))
        return true;
    *error = OneLine(*error);
    return false;
}

bool RunOptions::ParseArguments(const QStringList& arguments, QString* error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Exécute un programme 68000 sans fenêtre et rend compte de son état final."));
    parser.addPositionalArgument(QStringLiteral("PROGRAMME"), QStringLiteral("Exécutable ELF ou fichier S-Record."));
    parser.addOptions(Options());
    if (!parser.parse(arguments)) {
        *error = ParserError(parser);
        return false;
    }
    help = parser.isSet(QStringLiteral("help"));
    // The usage line names the running application.
    if (help)
        helpText = parser.helpText();
    version = parser.isSet(QStringLiteral("version"));
    if (help || version)
        return true;
    if (!CheckValues(parser, error) || !CheckSingle(parser, error) || !ReadProgram(parser, error) || !ReadLimit(parser, error)
        || !ReadSets(parser, error) || !ReadMemory(parser, error) || !ReadKeyInterval(parser, error)
        || !ParseKeys(parser.value(QStringLiteral("keys")), error) || !ReadWatches(parser, error))
        return false;
    trace = parser.value(QStringLiteral("trace"));
    json = parser.value(QStringLiteral("json"));
    screen = parser.value(QStringLiteral("screen"));
    profile = parser.value(QStringLiteral("profile"));
    coverage = parser.value(QStringLiteral("coverage"));
    return ParseGdb(parser, error);
}

// In the order that the help lists them.
QList<QCommandLineOption> RunOptions::Options()
{
    return {
        {QStringLiteral("until"), QStringLiteral("S'arrêter quand le PC atteint LOC."), QStringLiteral("LOC")},
        {QStringLiteral("break"), QStringLiteral("Point d'arrêt sur l'adresse LOC."), QStringLiteral("LOC")},
        {QStringLiteral("no-instruction-breakpoints"),
         QStringLiteral("Aucun point d'arrêt sur les instructions (ILLEGAL lève son exception).")},
        {QStringLiteral("limit"), QStringLiteral("Au plus N instructions."), QStringLiteral("N")},
        {QStringLiteral("set"), QStringLiteral("Donner à un registre une valeur après la réinitialisation."),
         QStringLiteral("REG=EXPR")},
        {QStringLiteral("memory"), QStringLiteral("Joindre ces octets au compte rendu JSON."),
         QStringLiteral("DÉBUT:LONGUEUR")},
        {QStringLiteral("keys"), QStringLiteral("Taper ces touches ({Right}, {Return}, {F1}..., {{ pour une accolade)."),
         QStringLiteral("TEXTE")},
        {QStringLiteral("key-interval"), QStringLiteral("Instructions entre deux événements du clavier (50000)."),
         QStringLiteral("N")},
        {QStringLiteral("watch"), QStringLiteral("Point d'observation (longueur 1 et écriture par défaut)."),
         QStringLiteral("LOC[:LONGUEUR][:r|w|rw]")},
        {QStringLiteral("trace"), QStringLiteral("Une ligne par instruction exécutée."), QStringLiteral("FICHIER")},
        {QStringLiteral("json"), QStringLiteral("Écrire l'état final en JSON (- pour la sortie standard)."),
         QStringLiteral("FICHIER")},
        {QStringLiteral("screen"), QStringLiteral("Écrire l'écran final en PNG."), QStringLiteral("FICHIER.png")},
        {QStringLiteral("profile"),
         QStringLiteral("Écrire le profil de l'exécution (instructions et cycles par fonction et par ligne) au format de callgrind."),
         QStringLiteral("FICHIER")},
        {QStringLiteral("coverage"), QStringLiteral("Écrire la couverture des lignes, des fonctions et des branches au format lcov."),
         QStringLiteral("FICHIER")},
        {QStringLiteral("gdb"), QStringLiteral("Servir GDB sur le PORT de 127.0.0.1 (0 : un port libre) au lieu d'exécuter."),
         QStringLiteral("PORT")},
        {QStringLiteral("gdb-address"), QStringLiteral("Servir GDB sur cette adresse plutôt que 127.0.0.1."),
         QStringLiteral("ADRESSE")},
        {QStringLiteral("gdb-once"), QStringLiteral("Quitter à la fin de la première connexion de GDB.")},
        {QStringList{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Afficher cette aide.")},
        {QStringLiteral("version"), QStringLiteral("Afficher la version.")},
    };
}

QString RunOptions::ParserError(const QCommandLineParser& parser)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty())
        return QStringLiteral("option inconnue : %1%2").arg(unknown.first().size() > 1 ? QStringLiteral("--") : QStringLiteral("-"), unknown.first());
    // Qt quotes the option as '--until' in English and as "--until" in French.
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("['\"]([^'\"]*)['\"]")).match(parser.errorText());
    return QStringLiteral("l'option %1 attend une valeur").arg(m.hasMatch() ? m.captured(1) : QString());
}

// An empty value would pass for an option not given at all.
bool RunOptions::CheckValues(const QCommandLineParser& parser, QString* error)
{
    for (const QCommandLineOption& o : Options()) {
        if (!o.valueName().isEmpty() && parser.values(o).contains(QString())) {
            *error = QStringLiteral("l'option --%1 attend une valeur").arg(o.names().first());
            return false;
        }
    }
    return true;
}

// A second value of an option that takes one would silently replace the first.
bool RunOptions::CheckSingle(const QCommandLineParser& parser, QString* error)
{
    for (const char* name : {"until", "limit", "keys", "key-interval", "trace", "json", "screen", "profile", "coverage", "gdb", "gdb-address"}) {
        const QStringList values = parser.values(QString::fromLatin1(name));
        if (values.size() > 1) {
            *error = QStringLiteral("l'option --%1 ne peut être donnée qu'une fois : %2")
                         .arg(QLatin1String(name), values.join(QStringLiteral(" puis ")));
            return false;
        }
    }
    return true;
}

bool RunOptions::ReadProgram(const QCommandLineParser& parser, QString* error)
{
    const QStringList positional = parser.positionalArguments();
    if (positional.size() == 1 && positional.first().isEmpty()) {
        *error = QStringLiteral("aucun programme à exécuter");
        return false;
    }
    if (positional.size() != 1) {
        *error = positional.isEmpty() ? QStringLiteral("aucun programme à exécuter")
                                      : QStringLiteral("un seul programme à la fois : %1").arg(positional.join(' '));
        return false;
    }
    program = positional.first();
    until = parser.value(QStringLiteral("until"));
    breaks = parser.values(QStringLiteral("break"));
    instructionBreakpoints = !parser.isSet(QStringLiteral("no-instruction-breakpoints"));
    return true;
}

bool RunOptions::ReadLimit(const QCommandLineParser& parser, QString* error)
{
    if (!parser.isSet(QStringLiteral("limit")))
        return true;
    const QString value = parser.value(QStringLiteral("limit"));
    bool ok = false;
    limit = value.toLongLong(&ok);
    if (!ok || limit < 1) {
        *error = QStringLiteral("--limit attend un nombre d'instructions positif : %1").arg(value);
        return false;
    }
    return true;
}

bool RunOptions::ReadSets(const QCommandLineParser& parser, QString* error)
{
    for (const QString& set : parser.values(QStringLiteral("set"))) {
        const int equal = set.indexOf(QLatin1Char('='));
        const QString name = set.left(equal).toLower();
        if (equal < 0 || !registerNames.contains(name)) {
            *error = QStringLiteral("--set attend REG=EXPR avec un registre parmi d0-d7, a0-a7, usp, ssp, pc, sr : %1").arg(set);
            return false;
        }
        sets << qMakePair(name, set.mid(equal + 1));
    }
    return true;
}

bool RunOptions::ReadMemory(const QCommandLineParser& parser, QString* error)
{
    for (const QString& range : parser.values(QStringLiteral("memory"))) {
        const int colon = range.lastIndexOf(QLatin1Char(':'));
        if (colon <= 0 || colon == range.size() - 1) {
            *error = QStringLiteral("--memory attend DÉBUT:LONGUEUR : %1").arg(range);
            return false;
        }
        memory << qMakePair(range.left(colon), range.mid(colon + 1));
    }
    return true;
}

bool RunOptions::ReadKeyInterval(const QCommandLineParser& parser, QString* error)
{
    if (!parser.isSet(QStringLiteral("key-interval")))
        return true;
    const QString value = parser.value(QStringLiteral("key-interval"));
    bool ok = false;
    keyInterval = value.toLongLong(&ok);
    if (!ok || keyInterval < 1) {
        *error = QStringLiteral("--key-interval attend un nombre d'instructions d'au moins 1 : %1").arg(value);
        return false;
    }
    return true;
}

bool RunOptions::ReadWatches(const QCommandLineParser& parser, QString* error)
{
    for (const QString& watch : parser.values(QStringLiteral("watch")))
        if (!ParseWatch(watch, error))
            return false;
    return true;
}

// LOC[:LENGTH][:r|w|rw], the kind last when it is there.
bool RunOptions::ParseWatch(const QString& watch, QString* error)
{
    QStringList parts = watch.split(QLatin1Char(':'));
    int kind = 1;
    if (parts.size() > 1) {
        const QString last = parts.last().toLower();
        if (last == QLatin1String("r") || last == QLatin1String("w") || last == QLatin1String("rw")) {
            kind = last == QLatin1String("r") ? 2 : last == QLatin1String("w") ? 1 : 3;
            parts.removeLast();
        }
    }
    if (parts.size() > 2 || parts.first().isEmpty() || (parts.size() == 2 && parts.last().isEmpty())) {
        *error = QStringLiteral("--watch attend LOC[:LONGUEUR][:r|w|rw] : %1").arg(watch);
        return false;
    }
    watches << Watch{parts.first(), parts.size() == 2 ? parts.last() : QStringLiteral("1"), kind};
    return true;
}

// GDB runs the machine: the options that end or report a run have no run to act on.
bool RunOptions::ParseGdb(const QCommandLineParser& parser, QString* error)
{
    const QString gdbOption = QStringLiteral("gdb");
    const QString addressOption = QStringLiteral("gdb-address");
    gdbOnce = parser.isSet(QStringLiteral("gdb-once"));
    if (!parser.isSet(gdbOption)) {
        if (gdbOnce || parser.isSet(addressOption)) {
            *error = QStringLiteral("--%1 ne va qu'avec --gdb").arg(gdbOnce ? QStringLiteral("gdb-once") : QStringLiteral("gdb-address"));
            return false;
        }
        return true;
    }
    bool ok = false;
    gdbPort = parser.value(gdbOption).toInt(&ok);
    if (!ok || gdbPort < 0 || gdbPort > 65535) {
        *error = QStringLiteral("--gdb attend un port entre 0 et 65535 : %1").arg(parser.value(gdbOption));
        return false;
    }
    if (parser.isSet(addressOption)) {
        gdbAddress = parser.value(addressOption);
        if (QHostAddress(gdbAddress).isNull()) {
            *error = QStringLiteral("--gdb-address attend une adresse IP : %1").arg(gdbAddress);
            return false;
        }
    }
    for (const char* name : {"until", "limit", "memory", "trace", "json", "screen", "profile", "coverage"}) {
        if (parser.isSet(QString::fromLatin1(name))) {
            *error = QStringLiteral("--%1 ne va pas avec --gdb : c'est GDB qui mène l'exécution").arg(QLatin1String(name));
            return false;
        }
    }
    return true;
}

// Characters stand for their own keys, an upper-case letter with Shift; "{Name}" for a key
// without a character, "{{" for a brace.
bool RunOptions::ParseKeys(const QString& text, QString* error)
{
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('{') && i + 1 < text.size() && text[i + 1] == QLatin1Char('{')) {
            keys << Key{'{', QStringLiteral("{"), false};
            ++i;
        } else if (c == QLatin1Char('{')) {
            const int close = text.indexOf(QLatin1Char('}'), i + 1);
            const QString name = close < 0 ? text.mid(i + 1) : text.mid(i + 1, close - i - 1);
            const int key = close < 0 ? 0 : Keyboard::KeyNamed(name);
            if (key == 0) {
                *error = QStringLiteral("--keys : touche inconnue : {%1%2").arg(name, close < 0 ? QString() : QStringLiteral("}"));
                return false;
            }
            keys << Key{key, key == Qt::Key_Space ? QStringLiteral(" ") : QString(), false};
            i = close;
        } else {
            const int key = c.toUpper().unicode();
            if (Keyboard::Code(key) == 0) {
                *error = QStringLiteral("--keys : aucune touche ne tape « %1 »").arg(c);
                return false;
            }
            keys << Key{key, QString(c), c.isLetter() && c.isUpper()};
        }
    }
    return true;
}
