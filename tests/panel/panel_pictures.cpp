// Pictures of the state panel and of both dialogs, to look at by eye: writes PNG files
// into the directory given as the first argument. Built, not run by CTest.
#include "program/SRecordLoader.h"
#include "session/Document.h"
#include "core/Emulator.h"
#include "core/Register.h"
#include "views/EditRegisterDialog.h"
#include "views/GetAddressDialog.h"
#include "views/StateFrame.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    Document document;
    SRecordLoader loader(QStringLiteral(PANEL_PROGRAM), document.memory);
    if (!loader.Load())
        return 1;
    document.emulator->Reset();

    StateFrame panel(nullptr, &document);
    for (int step = 0; step < 3; ++step) {
        panel.RecordReference();
        document.emulator->Execute();
        panel.UpdateControl();
    }
    // 608: three words and six characters with no pixel to spare (8-pixel characters).
    for (int width : {743, 1400, 608, 300}) {
        panel.resize(width, panel.height());
        panel.show();
        QApplication::processEvents();
        panel.grab().save(out.filePath(QStringLiteral("panel-%1.png").arg(width)));
    }
    panel.hide();

    EditRegisterDialog edit(&document, QStringLiteral("D1"), nullptr);
    edit.show();
    QApplication::processEvents();
    edit.grab().save(out.filePath(QStringLiteral("edit-register.png")));

    GetAddressDialog address(&document, QStringLiteral("Nouvelle adresse de départ"), nullptr);
    address.show();
    QApplication::processEvents();
    address.grab().save(out.filePath(QStringLiteral("get-address.png")));
    return 0;
}
