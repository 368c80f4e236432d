#ifndef ZENDRA_VIEWS_STARTADDRESSMENU_H
#define ZENDRA_VIEWS_STARTADDRESSMENU_H

class Document;
class QAction;
class QActionGroup;
class QMenu;
class QObject;
class QWidget;

// The submenu "Adresse de départ de la vue" of the disassembly and memory views: an address
// typed in, or the value of a register.
class StartAddressMenu
{
public:
    // Adds the submenu to `menu`: its entries are one group, owned by `owner`, whose
    // triggered(QAction*) the view connects to its own slot.
    static QActionGroup* Add(QMenu* menu, QObject* owner);
    // The address that the entry `a` stands for, asked of the user for "Définir...". False
    // when there is none (the user cancelled).
    static bool Resolve(QAction* a, Document* document, QWidget* parent, unsigned int& address);
};

#endif
