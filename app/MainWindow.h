#ifndef ZENDRA_APP_MAINWINDOW_H
#define ZENDRA_APP_MAINWINDOW_H


#include "app/Settings.h"

#include <QMainWindow>

#include <memory>

class Document;
class GdbServer;
class Profile;
class Profiler;
class Session;
class ProgramWatcher;
class ReloadBar;
struct RunBounds;
class Settings;
class QAction;
class QLabel;
class QActionGroup;
class QMenu;
class QTabWidget;
class QToolBar;
class StateFrame;
class VideoDialog;
class View;

// The debugger's window: the tab pages of views, the processor state panel under them, the
// commands in menus and one tool bar, and the run control that hands the machine to the
// emulation thread.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    bool LoadFile(const QString& fileName);
    // Opens a program chosen by the user (dialog, recent files, a drop) as "Ouvrir" does,
    // remembering the state of the one it replaces.
    void OpenProgram(const QString& fileName);
    void ShowError(const QString& text);
    void UpdateCurrentTab();
    void UpdateCurrentTabIfIdle();
    void SetStartAddressOfDisaViews(unsigned int address);
    void SetStartAddressOfAllViews(unsigned int address);
    static View* IsStandardDisaView(View* v);
    static View* IsMemoryView(View* v);
    static View* IsSourceView(View* v);
    static View* IsProfileView(View* v);
    // The thread has been started and its end not yet taken in. Starts are refused until
    // then: a queued FinishedEmulation arriving after the next start would unlock the window
    // in the middle of a run.
    bool Busy() const;

public slots:
    void OnAction_About();
    void OnAction_EditBreakpoint();
    void OnAction_AddDisaView();
    void OnAction_AddHexaView();
    void OnAction_AddMixedView();
    void OnAction_EnableAddressBreakpoint();
    void OnAction_EnableInstructionBreakpoint();
    void OnAction_Open();
    void OnAction_QuickRun();
    void OnAction_RemoveAllAddressBreakpoint();
    void OnAction_RemoveAllInstructionBreakpoint();
    void OnAction_Reset();
    void OnAction_Run();
    void OnAction_Skip();
    void OnAction_StepInto();
    void OnAction_StepIntoNoBreak();
    void OnAction_StepOut();
    void OnAction_StepOutNoBreak();
    void OnAction_StepOver();
    void OnAction_StepOverNoBreak();
    void OnAction_StopEmulation();
    void OnAction_Undo();
    void OnAction_Undo(QAction* action);
    void OnAction_VideoOut();
    void OnAction_AddSourceView();
    void OnAction_StepIntoLine();
    void OnAction_StepOverLine();
    void OnAction_RunBack();
    void OnAction_StepOverBack();
    // On the cursor line of the current page's active source or disassembly view.
    void OnAction_RunToCursor();
    void OnAction_PcHere();
    // A run recorded as "Exécuter"'s, until the instruction at address unless a breakpoint
    // or a watchpoint stops it first.
    void RunTo(unsigned int address);
    // The program counter to address, undone with the last instruction as the panel's edits.
    void MovePc(unsigned int address);
    void OnAction_GdbServer();
    // Reads the open program's file again, keeping breakpoints, watchpoints, conditions,
    // pages and views, and resets the machine; a file that cannot be read leaves all as is.
    void OnAction_Reload();
    void OnAction_Manual();
    // Counts what each function costs in the runs and steps from now on, or stops counting.
    void OnAction_Profile();
    // The profile in callgrind's format, to a file that the user chooses.
    void OnAction_ExportProfile();
    // Who last wrote a byte or pixel (mask of its bits) or a register: found in the history,
    // the machine is taken back to just after it if the user agrees.
    void OnLastWrite(unsigned int address, unsigned int mask);
    void OnLastRegisterWrite(const QString& name);
    void FinishedEmulation();
    void UpdateCommand();

public:
    QTabWidget* tabWidget;
    // The machine and its runs; the document is the session's.
    Session* session;
    Document* document;
    VideoDialog* videoDialog;

    QAction* aboutAction;
    QAction* addDisaViewAction;
    QAction* addHexaViewAction;
    QAction* addMixedViewAction;
    QAction* editBreakpointAction;
    QAction* editBreakpointToolAction;
    QAction* enableAddressBreakpointAction;
    QAction* enableInstructionBreakpointAction;
    QAction* quitAction;
    QAction* openAction;
    QAction* quickRunAction;
    QAction* removeAllAddressBreakpointAction;
    QAction* removeAllInstructionBreakpointAction;
    QAction* resetAction;
    QAction* runAction;
    QAction* skipAction;
    QAction* stepIntoAction;
    QAction* stepIntoNoBreakAction;
    QAction* stepOutAction;
    QAction* stepOutNoBreakAction;
    QAction* stepOverAction;
    QAction* stepOverNoBreakAction;
    QAction* stopEmulationAction;
    QAction* undoAction;
    QAction* videoOutAction;
    QAction* addSourceViewAction;
    QAction* stepIntoLineAction;
    QAction* stepOverLineAction;
    QAction* runBackAction;
    QAction* stepOverBackAction;
    QAction* gdbServerAction;
    QAction* reloadAction;
    QAction* manualAction;
    QAction* profileAction;
    QAction* exportProfileAction;
    QAction* runToCursorAction;
    QAction* pcHereAction;
    QActionGroup* undoGroup;

    QToolBar* toolBar;
    QMenu* fileMenu;
    QMenu* viewMenu;
    QMenu* debugMenu;
    QMenu* helpMenu;
    QMenu* undoMenu;
    QMenu* breakpointMenu;
    QMenu* recentMenu = nullptr;

    StateFrame* stateFrame;
    bool running;
    // Serves the session to GDB when the user starts it; while GDB is connected it runs
    // the machine, and the window's own run commands are disabled. The status bar says so.
    GdbServer* gdbServer;
    QLabel* gdbLabel;
    // Why the last run or step stopped, when no box said it, or what to know of the program
    // just loaded.
    QLabel* stopLabel;
    // What is remembered between starts; the open program's file watched for rebuilds, and
    // the bar that offers to reload it.
    Settings* settings;
    ProgramWatcher* programWatcher;
    ReloadBar* reloadBar;
    // Observes every run and step while "Profiler" is checked; none exists otherwise, so that
    // runs keep their loops without an observer.
    std::unique_ptr<Profiler> profiler;
    // What it counted, as of the last stop: the views' (Document::profile).
    std::unique_ptr<Profile> profile;

    // The largest file taken for a program: anything bigger is not one.
    static constexpr qint64 largestProgram = 64 * 1024 * 1024;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CenterWindow();
    void LaunchEmulation(int mode);
    void LaunchEmulation(int mode, const RunBounds& bounds);
    // The instruction of the cursor line of the current page's active view, if it has one;
    // else the status bar says how to choose one.
    bool CursorTarget(unsigned int& address);
    // The views of every page, in page order.
    QList<View*> AllSingleViews() const;
    // A command's action; a null slot leaves it unconnected.
    QAction* NewAction(const QString& text, const QKeySequence& key, const QString& icon, const QString& toolTip,
                       void (MainWindow::*slot)());
    // The horizontal split of executed and standard disassembly that "Désa" and "Mixte" share;
    // its lower view is returned through standard.
    View* NewDisaSplit(View*& standard);
    void AddPage(const QString& name, View* root, View* activeByDefault);
    void ResetMachineView();
    // A program with source lines, opened where no view shows source, gets a page that does.
    void OfferSourcePage();
    // Offers to take the machine back to just after item `index` of the history, which wrote
    // what `what` names (changed, when the search was for the last change rather than the
    // last write); says so when the history does not hold the writer.
    void OfferLastWrite(int index, const QString& what, bool changed);

    // After a program is loaded: remembered, watched, and its saved breakpoints restored.
    void TakeLoadedProgram();
    void UpdateRecentMenu();
    void RestartProfile();
    void CollectProfile();
    // GDB's connection, runs and stops, shown as the window's own.
    void OnGdbConnecting();
    void OnGdbResumed();
    void OnGdbStopped();
    void UpdateGdbLabel();
    void UpdateStatusBar();
    // Words for the status bar until the next run: a stop's, or a program's loaded with a warning.
    void ShowStatus(const QString& text);
    void FitStopLabel();

    bool awaitingFinish;
    bool statusBarKept = false;
    // The breakpoints and watchpoints that opening this program kept from the previous one.
    Settings::Carried carried;
};

#endif
