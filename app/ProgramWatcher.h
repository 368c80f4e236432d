#ifndef ZENDRA_APP_PROGRAMWATCHER_H
#define ZENDRA_APP_PROGRAMWATCHER_H

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

// Watches the open program's file for the user's rebuilds. A change is reported once the
// file has stopped changing for a moment (a linker writes it in several goes), and only when
// it differs from what was loaded; a file that goes away is reported as missing, and watched
// for again through its folder.
class ProgramWatcher : public QObject
{
    Q_OBJECT

public:
    explicit ProgramWatcher(QObject* parent = nullptr);

    // Watches fileName, as it is now taken to be loaded.
    void Watch(const QString& fileName);
    // The file as it is now is the one loaded (after a reload, or when the user ignores it).
    void TakeAsLoaded();
    QString FileName() const { return fileName; }

    // How long the file must stay unchanged before a change is reported.
    int settleMilliseconds = 300;

signals:
    void Changed();
    void Missing();

private slots:
    void OnSomethingChanged();
    void OnSettled();

private:
    struct Stamp
    {
        bool exists = false;
        qint64 size = -1;
        QDateTime modified;
        bool operator==(const Stamp& o) const { return exists == o.exists && size == o.size && modified == o.modified; }
        bool operator!=(const Stamp& o) const { return !(*this == o); }
    };
    Stamp Now() const;
    void Rewatch();

    QFileSystemWatcher watcher;
    QTimer timer;
    QString fileName;
    Stamp loaded;
    Stamp seen;
    bool reportedMissing = false;
};

#endif
