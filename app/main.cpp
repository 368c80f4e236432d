#include "app/SRecordLoader.h"
#include "core/Memory.h"

#include <QCoreApplication>
#include <QTextStream>

#include <memory>

// Until the main window exists, the program loads the S-Record file that it is given and
// says what it wrote.
int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 2) {
        out << "Usage: Zendra fichier.hex\n";
        return 1;
    }
    std::unique_ptr<unsigned char[]> video(new unsigned char[MemoryBuffer::videoSize]);
    Memory memory(video.get());
    SRecordLoader loader(arguments.at(1), &memory);
    if (!loader.Load()) {
        QTextStream(stderr) << "Zendra - Erreur\n" << loader.errorMessage << "\n";
        return 2;
    }
    out << "Programme chargé : " << arguments.at(1) << "\n";
    return 0;
}
