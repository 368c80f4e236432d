#include "views/ProfileView.h"

#include "session/Profile.h"
#include "session/Profiler.h"

#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum Column { NameColumn, CallsColumn, InstructionsColumn, SelfColumn, InclusiveColumn, ShareColumn };

} // namespace

ProfileView::ProfileView(std::function<const Profiler*()> source)
    : SingleView(),
      hint(new QLabel(QStringLiteral("Cochez « Déboguer > Profiler » puis exécutez le programme."), this)),
      table(new QTreeWidget(this)),
      source(std::move(source))
{
    table->setRootIsDecorated(false);
    table->setUniformRowHeights(true);
    table->setAlternatingRowColors(true);
    table->setHeaderLabels({QStringLiteral("Fonction"), QStringLiteral("Appels"), QStringLiteral("Instructions"),
                            QStringLiteral("Cycles propres"), QStringLiteral("Cycles inclus"), QStringLiteral("Part")});
    table->header()->setStretchLastSection(false);
    table->header()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    for (int column = CallsColumn; column <= ShareColumn; ++column)
        table->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    connect(table, &QTreeWidget::itemDoubleClicked, this, &ProfileView::OnDoubleClicked);
    hint->setWordWrap(true);
    hint->setMargin(6);
    QVBoxLayout* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(hint);
    layout->addWidget(table);
    Refresh();
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
    // During a run the profiler is the emulation thread's, and the pages are disabled.
    if (!isEnabled())
        return;
    const Profiler* profiler = source();
    hint->setVisible(!profiler);
    table->setVisible(profiler);
    table->clear();
    if (!profiler)
        return;
    const Profile profile = profiler->Collect();
    std::vector<const Profile::Function*> ran;
    for (const Profile::Function& f : profile.functions)
        if (f.instructions || f.calls)
            ran.push_back(&f);
    std::stable_sort(ran.begin(), ran.end(), [](const Profile::Function* a, const Profile::Function* b) {
        return a->cycles != b->cycles ? a->cycles > b->cycles : a->inclusiveCycles > b->inclusiveCycles;
    });
    const QLocale french(QLocale::French);
    QList<QTreeWidgetItem*> rows;
    for (const Profile::Function* f : ran) {
        QTreeWidgetItem* row = new QTreeWidgetItem(
            {f->name, french.toString(f->calls), french.toString(f->instructions), french.toString(f->cycles),
             french.toString(f->inclusiveCycles), Share(f->cycles, profile.cycles)});
        row->setData(NameColumn, Qt::UserRole, f->address);
        for (int column = CallsColumn; column <= ShareColumn; ++column)
            row->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        rows.append(row);
    }
    table->addTopLevelItems(rows);
}

void ProfileView::OnDoubleClicked(QTreeWidgetItem* item)
{
    if (item)
        emit FunctionChosen(item->data(NameColumn, Qt::UserRole).toUInt());
}
