// Pictures of the breakpoint dialogs with a few entries, to look at by eye:
// breakpoints_pictures <folder> writes one PNG a dialog and tab.
#include "app/AddInstructionBreakpointDialog.h"
#include "app/EditBreakpointDialog.h"
#include "session/Document.h"
#include "core/Memory.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

namespace {

void Save(QWidget* w, const QString& folder, const char* name)
{
    w->show();
    QApplication::processEvents();
    w->grab().save(QDir(folder).filePath(QLatin1String(name) + QLatin1String(".png")));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();

    Document document(nullptr);
    const unsigned short program[] = {0x303C, 0x1234, 0x23FC, 0x1234, 0x5678, 0x00FF, 0x0000,
                                      0x6600, 0xFFF0, 0x4E75, 0xFFFF};
    unsigned int address = 0x1000;
    for (unsigned short word : program) {
        document.memory->Write(address, word, 16, true);
        address += 2;
    }
    for (unsigned int a : {0x1000u, 0x1004u, 0x100Eu, 0x1012u, 0x1014u})
        document.AddAddressBreakpoint(a);
    for (unsigned short opcode : {0x4E4A, 0x4E42, 0x4E72, 0x4E75, 0x4E76})
        document.AddInstructionBreakpoint(opcode);
    document.instructionBreakpointsEnabled = false;

    EditBreakpointDialog management(&document, nullptr);
    Save(&management, folder, "management_addresses");
    management.findChild<QTabWidget*>(QStringLiteral("tabWidget"))->setCurrentIndex(1);
    Save(&management, folder, "management_instructions");

    AddInstructionBreakpointDialog add(&document, nullptr);
    Save(&add, folder, "add_instruction");
    add.findChild<QRadioButton*>(QStringLiteral("dcRadioButton"))->click();
    add.findChild<QLineEdit*>(QStringLiteral("dcText"))->setText(QStringLiteral("$4E72"));
    Save(&add, folder, "add_word");
    return 0;
}
