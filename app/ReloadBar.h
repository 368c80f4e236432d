#ifndef ZENDRA_APP_RELOADBAR_H
#define ZENDRA_APP_RELOADBAR_H

#include <QFrame>

class QLabel;
class QPushButton;

// The bar above the views that offers to reload a program rebuilt on disk, or says why it
// could not be: never a modal box, so that a run goes on while it shows.
class ReloadBar : public QFrame
{
    Q_OBJECT

public:
    explicit ReloadBar(QWidget* parent = nullptr);

    void ShowChanged(const QString& fileName);
    void ShowMissing(const QString& fileName);
    void ShowFailed(const QString& fileName, const QString& reason);

    QLabel* label;
    QPushButton* reloadButton;
    QPushButton* ignoreButton;

signals:
    void ReloadRequested();
    void Ignored();
};

#endif
