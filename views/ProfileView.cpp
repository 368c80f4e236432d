#include "views/ProfileView.h"

#include "program/LineTable.h"
#include "session/Document.h"
#include "session/Profile.h"
#include "splitview/ViewManager.h"

#include <QAction>
#include <QFileInfo>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The first column names the row; the others are numbers.
constexpr int nameColumn = 0;
constexpr int addressRole = Qt::UserRole;

QTreeWidgetItem* NumberRow(const QStringList& texts, unsigned int address)
{
    QTreeWidgetItem* row = new QTreeWidgetItem(texts);
    row->setData(nameColumn, addressRole, address);
    for (int column = nameColumn + 1; column < texts.size(); ++column)
        row->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    return row;
}

} // namespace

ProfileView::ProfileView()
    : SingleView(),
      hint(new QLabel(QStringLiteral("Cochez « Déboguer > Profiler » puis exécutez le programme."), this)),
      table(new QTreeWidget(this)),
      byLineAction(new QAction(QStringLiteral("Par ligne source"), this)),
      exportAction(new QAction(QStringLiteral("Exporter..."), this)),
      document(qobject_cast<Document*>(ViewManager::document))
{
    table->setRootIsDecorated(false);
    table->setUniformRowHeights(true);
    table->setAlternatingRowColors(true);
    table->header()->setStretchLastSection(false);
    connect(table, &QTreeWidget::itemDoubleClicked, this, &ProfileView::OnDoubleClicked);
    byLineAction->setCheckable(true);
    connect(byLineAction, &QAction::toggled, this, &ProfileView::Refresh);
    connect(exportAction, &QAction::triggered, this, &ProfileView::ExportRequested);
    hint->setWordWrap(true);
    hint->setMargin(6);
    QVBoxLayout* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(hint);
    layout->addWidget(table);
    Refresh();
}

void ProfileView::InitializeMenu()
{
    menu->addAction(byLineAction);
    menu->addAction(exportAction);
    menu->addSeparator();
    SingleView::InitializeMenu();
}

void ProfileView::update()
{
    Refresh();
    SingleView::update();
}

void ProfileView::Draw(QPainter&)
{
}

QString ProfileView::Share(unsigned long long part, unsigned long long whole)
{
    const double percent = whole ? 100.0 * double(part) / double(whole) : 0.0;
    return QLocale(QLocale::French).toString(percent, 'f', 1) + QStringLiteral("\u00A0%");
}

void ProfileView::Refresh()
{
    // The profile changes between runs only, when the pages are enabled again.
    if (!isEnabled())
        return;
    const Profile* profile = document->profile;
    hint->setVisible(!profile);
    table->setVisible(profile);
    exportAction->setEnabled(profile);
    table->clear();
    if (!profile)
        return;
    if (byLineAction->isChecked())
        ListLines(*profile);
    else
        ListFunctions(*profile);
    table->header()->setSectionResizeMode(nameColumn, QHeaderView::Stretch);
    for (int column = nameColumn + 1; column < table->columnCount(); ++column)
        table->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
}

void ProfileView::ListFunctions(const Profile& profile)
{
    table->setHeaderLabels({QStringLiteral("Fonction"), QStringLiteral("Appels"), QStringLiteral("Instructions"),
                            QStringLiteral("Cycles propres"), QStringLiteral("Cycles inclus"), QStringLiteral("Part")});
    std::vector<const Profile::Function*> ran;
    for (const Profile::Function& f : profile.functions)
        if (f.instructions || f.calls)
            ran.push_back(&f);
    std::stable_sort(ran.begin(), ran.end(), [](const Profile::Function* a, const Profile::Function* b) {
        return a->cycles != b->cycles ? a->cycles > b->cycles : a->inclusiveCycles > b->inclusiveCycles;
    });
    const QLocale french(QLocale::French);
    QList<QTreeWidgetItem*> rows;
    for (const Profile::Function* f : ran)
        rows.append(NumberRow({f->name, french.toString(f->calls), french.toString(f->instructions),
                               french.toString(f->cycles), french.toString(f->inclusiveCycles),
                               Share(f->cycles, profile.cycles)},
                              f->address));
    table->addTopLevelItems(rows);
}

// The lines that ran, named "file.c:12" after the file's name alone, with the function that
// holds them.
void ProfileView::ListLines(const Profile& profile)
{
    table->setHeaderLabels({QStringLiteral("Ligne"), QStringLiteral("Fonction"), QStringLiteral("Exécutions"),
                            QStringLiteral("Instructions"), QStringLiteral("Cycles"), QStringLiteral("Part")});
    std::vector<const Profile::Line*> ran;
    for (const Profile::Line& l : profile.lines)
        if (l.instructions)
            ran.push_back(&l);
    std::stable_sort(ran.begin(), ran.end(),
                     [](const Profile::Line* a, const Profile::Line* b) { return a->cycles > b->cycles; });
    QHash<QPair<int, int>, int> functions;
    for (const Profile::Cost& c : profile.costs)
        functions.insert(qMakePair(c.file, c.line), c.function);
    const QLocale french(QLocale::French);
    QList<QTreeWidgetItem*> rows;
    for (const Profile::Line* l : ran) {
        const int f = functions.value(qMakePair(l->file, l->line), -1);
        const QString function = f >= 0 ? profile.functions[std::size_t(f)].name : QString();
        const std::vector<unsigned int> addresses = document->lines->Addresses(l->file, l->line);
        const QString file = l->file >= 0 && l->file < profile.files.size() ? QFileInfo(profile.files.at(l->file)).fileName()
                                                                           : QStringLiteral("?");
        QTreeWidgetItem* row =
            NumberRow({file + QLatin1Char(':') + QString::number(l->line), function, french.toString(l->executions),
                       french.toString(l->instructions), french.toString(l->cycles), Share(l->cycles, profile.cycles)},
                      addresses.empty() ? 0 : addresses.front());
        row->setTextAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
        rows.append(row);
    }
    table->addTopLevelItems(rows);
}

void ProfileView::OnDoubleClicked(QTreeWidgetItem* item)
{
    if (item)
        emit AddressChosen(item->data(nameColumn, addressRole).toUInt());
}
