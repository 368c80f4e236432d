#include "app/ManualDialog.h"

#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

ManualDialog::ManualDialog(QWidget* parent)
    : QDialog(parent, Qt::Window), browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("manualDialog"));
    setWindowTitle(QStringLiteral("Manuel de Zendra"));
    browser->setOpenExternalLinks(true);
    browser->setMarkdown(Text());
    browser->document()->setDocumentMargin(16);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser);
    resize(720, 640);
}

QString ManualDialog::Text()
{
    QFile file(QStringLiteral(":/Manual/manual.md"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

ManualDialog* ManualDialog::ShowManual(QWidget* parent)
{
    auto* manual = parent->findChild<ManualDialog*>(QStringLiteral("manualDialog"), Qt::FindDirectChildrenOnly);
    if (!manual)
        manual = new ManualDialog(parent);
    manual->show();
    manual->raise();
    manual->activateWindow();
    return manual;
}
