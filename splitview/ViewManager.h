#ifndef PANELOOM_VIEWMANAGER_H
#define PANELOOM_VIEWMANAGER_H

#include <QList>
#include <QObject>
#include <QString>
#include <QTabWidget>

#include <functional>

class View;

// Keeps one page of the application's tab widget: puts the root of a view tree into a tab,
// carries out the edits that the views ask for (split, replace, delete), tracks the active
// leaf and follows its tab's index as other tabs close. The root view owns its manager.
class ViewManager : public QObject
{
    Q_OBJECT

public:
    using CreationFunction = std::function<View*()>;

    ViewManager(const QString& name, View* root);
    ~ViewManager() override;

    int id;
    View* rootView;
    View* activeView;
    QString title;
    int tabIndex;
    QList<View*> singleViews;

    // Shared by every page. Forgotten when the tab widget goes, so that a page that outlives
    // it (its deletion still pending) does not reach a widget that is gone.
    static QTabWidget* tabWidget;
    // The application's shared document, which the framework knows as an object only: it
    // is stored and handed out here, and the application's views cast it back.
    static QObject* document;
    static int counter;
    static int hMaxSplit;
    static int vMaxSplit;
    static QList<QString> descriptionList;
    static QList<CreationFunction> creationList;

    static void Initialize(QTabWidget* tabs, QObject* document);

    void UpdateTabsClosable();
    void SetActiveView(View* v);
    void HSplit(View* v);
    void VSplit(View* v);
    void ReplaceView(View* old, View* replacement);
    void DeleteView(View* v);
    void SetDefaultView(View* v);
    void RecordSingleView(View* v);
    QList<View*>& SingleViewList();

    // The page's tab has been closed and its views are going: no more edits.
    bool IsClosed() const;

public slots:
    void OnTabCloseRequested(int tabToClose);
    void OnCurrentChanged(int index);

private:
    bool closed;

    void Split(View* v, bool horizontal);
    void PutRootInTab(View* root);
    bool Holds(const View* v) const;
    static void Discard(View* v);
};

#endif
