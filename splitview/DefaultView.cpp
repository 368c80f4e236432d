#include "splitview/DefaultView.h"

#include "splitview/ViewManager.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

DefaultView::DefaultView()
    : SingleView(),
      buttonLayout(new QVBoxLayout)
{
    for (const QString& label : ViewManager::descriptionList) {
        QPushButton* button = new QPushButton(label, this);
        buttonLayout->addWidget(button);
        button->setAttribute(Qt::WA_NoMousePropagation);
        connect(button, &QPushButton::clicked, this, &DefaultView::OnButton);
    }
    buttonLayout->addStretch();
    QHBoxLayout* row = new QHBoxLayout;
    row->addStretch();
    row->addLayout(buttonLayout);
    row->addStretch();
    setLayout(row);
}

void DefaultView::Draw(QPainter&)
{
}

void DefaultView::OnButton()
{
    const int index = buttonLayout->indexOf(qobject_cast<QWidget*>(sender()));
    // The kind lists are the application's; a label without a factory creates nothing.
    if (index < 0 || index >= ViewManager::creationList.size() || !ViewManager::creationList.at(index))
        return;
    View* view = ViewManager::creationList.at(index)();
    if (!view)
        return;
    if (manager)
        manager->ReplaceView(this, view);
    else
        delete view;
}
