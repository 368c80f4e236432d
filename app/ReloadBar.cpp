#include "app/ReloadBar.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

ReloadBar::ReloadBar(QWidget* parent)
    : QFrame(parent), label(new QLabel(this)), reloadButton(new QPushButton(QStringLiteral("Recharger"), this)),
      ignoreButton(new QPushButton(QStringLiteral("Ignorer"), this))
{
    setObjectName(QStringLiteral("reloadBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(255, 244, 200));
    setPalette(p);
    label->setWordWrap(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->addWidget(label, 1);
    layout->addWidget(reloadButton);
    layout->addWidget(ignoreButton);
    connect(reloadButton, &QPushButton::clicked, this, &ReloadBar::ReloadRequested);
    connect(ignoreButton, &QPushButton::clicked, this, [this] {
        hide();
        emit Ignored();
    });
    hide();
}

void ReloadBar::ShowChanged(const QString& fileName)
{
    label->setText(QStringLiteral("Le programme « %1 » a changé sur le disque.").arg(QFileInfo(fileName).fileName()));
    reloadButton->setText(QStringLiteral("Recharger"));
    reloadButton->show();
    show();
}

void ReloadBar::ShowMissing(const QString& fileName)
{
    label->setText(QStringLiteral("Le programme « %1 » n'est plus sur le disque ; celui qui est chargé reste en mémoire.")
                       .arg(QFileInfo(fileName).fileName()));
    reloadButton->hide();
    show();
}

void ReloadBar::ShowFailed(const QString& fileName, const QString& reason)
{
    label->setText(QStringLiteral("Le programme « %1 » n'a pas pu être rechargé ; l'ancien est conservé. %2")
                       .arg(QFileInfo(fileName).fileName(), reason.simplified()));
    reloadButton->setText(QStringLiteral("Réessayer"));
    reloadButton->show();
    show();
}
