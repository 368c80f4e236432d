#include "views/StartAddressMenu.h"

#include "session/Document.h"
#include "core/Emulator.h"
#include "views/GetAddressDialog.h"

#include <QAction>
#include <QActionGroup>
#include <QIcon>
#include <QMenu>

QActionGroup* StartAddressMenu::Add(QMenu* menu, QObject* owner)
{
    QMenu* sub = menu->addMenu(QStringLiteral("Adresse de départ de la vue"));
    QActionGroup* group = new QActionGroup(owner);
    group->setExclusive(true);
    QAction* define = group->addAction(QIcon(QStringLiteral(":/Icon/StartAddress")), QStringLiteral("Définir..."));
    define->setData(QStringLiteral("Define"));
    group->addAction(QIcon(QStringLiteral(":/Icon/StartAddressPC")), QStringLiteral("PC"));
    for (int n = 0; n < 8; ++n)
        group->addAction(QStringLiteral("A%1").arg(n));
    for (int n = 0; n < 8; ++n)
        group->addAction(QStringLiteral("D%1").arg(n));
    group->addAction(QStringLiteral("USP"));
    group->addAction(QStringLiteral("SSP"));
    sub->addActions(group->actions());
    return group;
}

bool StartAddressMenu::Resolve(QAction* a, Document* document, QWidget* parent, unsigned int& address)
{
    if (a->data().toString() != QLatin1String("Define")) {
        address = document->emulator->registers->Get(a->text());
        return true;
    }
    GetAddressDialog dialog(document, QStringLiteral("Nouvelle adresse de départ"), parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    address = dialog.address;
    return true;
}
