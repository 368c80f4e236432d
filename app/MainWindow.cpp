#include "app/MainWindow.h"

#include "app/AboutDialog.h"
#include "app/EditBreakpointDialog.h"
#include "app/GdbServerDialog.h"
#include "app/ManualDialog.h"
#include "app/ProgramWatcher.h"
#include "app/ReloadBar.h"
#include "app/Settings.h"
#include "app/StopReport.h"
#include "app/VideoDialog.h"
#include "app/WindowPlacement.h"
#include "session/Document.h"
#include "core/Emulator.h"
#include "core/Memory.h"
#include "core/HistorySearch.h"
#include "core/Disassembler.h"
#include "core/Register.h"
#include "gdb/GdbServer.h"
#include "program/LineTable.h"
#include "session/CallgrindWriter.h"
#include "session/Profile.h"
#include "session/Profiler.h"
#include "session/ProgramLoader.h"
#include "session/Session.h"
#include "splitview/HSplitView.h"
#include "splitview/VSplitView.h"
#include "splitview/ViewManager.h"
#include "views/CallStackView.h"
#include "views/DisaView.h"
#include "views/ExecutedDisaView.h"
#include "views/MemoryView.h"
#include "views/ProfileView.h"
#include "views/SourceView.h"
#include "views/StandardDisaView.h"
#include "views/StateFrame.h"
#include "views/VariablesView.h"
#include "views/WatchView.h"

#include <QAction>
#include <algorithm>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QSaveFile>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent),
      tabWidget(new QTabWidget(this)),
      session(new Session(this)),
      document(session->document),
      videoDialog(nullptr),
      running(false),
      gdbServer(new GdbServer(session, this)),
      gdbLabel(new QLabel(this)),
      stopLabel(new QLabel(this)),
      settings(new Settings),
      programWatcher(new ProgramWatcher(this)),
      reloadBar(new ReloadBar(this)),
      awaitingFinish(false)
{
    videoDialog = new VideoDialog(this);
    gdbLabel->setObjectName(QStringLiteral("gdbLabel"));
    // A stop's words may take two lines in a narrow window: a label that wraps them.
    stopLabel->setObjectName(QStringLiteral("stopLabel"));
    stopLabel->setWordWrap(true);
    stopLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    stopLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    stopLabel->installEventFilter(this);
    statusBar()->addWidget(stopLabel, 1);
    statusBar()->addPermanentWidget(gdbLabel);
    statusBar()->setVisible(false);

    ViewManager::Initialize(tabWidget, document);
    ViewManager::creationList.clear();
    ViewManager::descriptionList.clear();
    ViewManager::creationList.append([]() -> View* { return new StandardDisaView(); });
    ViewManager::descriptionList.append(QStringLiteral("Désassemblage"));
    ViewManager::creationList.append([]() -> View* { return new ExecutedDisaView(); });
    ViewManager::descriptionList.append(QStringLiteral("Inst. exécutées"));
    ViewManager::creationList.append([]() -> View* { return new MemoryView(); });
    ViewManager::descriptionList.append(QStringLiteral("Mémoire"));
    ViewManager::creationList.append([]() -> View* { return new SourceView(); });
    ViewManager::descriptionList.append(QStringLiteral("Source"));
    ViewManager::creationList.append([this]() -> View* {
        ProfileView* view = new ProfileView();
        connect(view, &ProfileView::AddressChosen, this, [this](unsigned int address) {
            SetStartAddressOfDisaViews(address);
            UpdateCurrentTab();
        });
        connect(view, &ProfileView::ExportRequested, this, &MainWindow::OnAction_ExportProfile);
        return view;
    });
    ViewManager::descriptionList.append(QStringLiteral("Profil"));
    ViewManager::creationList.append([this]() -> View* {
        CallStackView* view = new CallStackView();
        connect(view, &CallStackView::FrameChosen, this, [this](unsigned int pc) {
            SetStartAddressOfDisaViews(pc);
            UpdateCurrentTab();
        });
        return view;
    });
    ViewManager::descriptionList.append(QStringLiteral("Pile d'appels"));
    const auto edited = [this](VariablesView* view) -> View* {
        connect(view, &VariablesView::ValueEdited, this, [this] {
            stateFrame->UpdateControl();
            UpdateCurrentTab();
        });
        return view;
    };
    ViewManager::creationList.append([edited]() -> View* { return edited(new VariablesView()); });
    ViewManager::descriptionList.append(QStringLiteral("Variables"));
    ViewManager::creationList.append([edited]() -> View* { return edited(new WatchView()); });
    ViewManager::descriptionList.append(QStringLiteral("Expressions"));

    OnAction_AddDisaView();
    OnAction_AddHexaView();
    OnAction_AddMixedView();
    tabWidget->setCurrentIndex(0);

    stateFrame = new StateFrame(this, document);
    QWidget* central = new QWidget(this);
    QVBoxLayout* layout = new QVBoxLayout(central);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(reloadBar);
    layout->addWidget(tabWidget);
    layout->addWidget(stateFrame);
    setCentralWidget(central);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    UpdateCommand();

    resize(743, 670);
    setMinimumSize(530, 500);
    CenterWindow();
    restoreGeometry(settings->Geometry(QStringLiteral("window")));
    // A geometry saved on another screen may lie off this one; one saved at another scale Qt
    // refuses, and the default size may not fit a small or scaled screen.
    WindowPlacement::FitToScreen(this);
    const QByteArray videoGeometry = settings->Geometry(QStringLiteral("video"));
    if (!videoGeometry.isEmpty() && videoDialog->restoreGeometry(videoGeometry)) {
        VideoDialog::firstShow = false;
        WindowPlacement::FitToScreen(videoDialog);
    }
    setAcceptDrops(true);
    UpdateRecentMenu();

    const QStringList arguments = QApplication::arguments();
    if (arguments.size() == 2 && LoadFile(arguments.at(1)))
        TakeLoadedProgram();

    session->Reset();
    OfferSourcePage();
    UpdateCommand();
    SetStartAddressOfAllViews(document->emulator->registers->pc);
    stateFrame->UpdateControl();
    stateFrame->RecordReference();
    stateFrame->UpdateControl();

    connect(session, &Session::Finished, this, &MainWindow::FinishedEmulation);
    connect(document, &Document::LastWriteRequested, this, &MainWindow::OnLastWrite);
    connect(document, &Document::LastRegisterWriteRequested, this, &MainWindow::OnLastRegisterWrite);
    connect(document, &Document::RunToRequested, this, &MainWindow::RunTo);
    connect(document, &Document::PcMoveRequested, this, &MainWindow::MovePc);
    videoDialog->installEventFilter(this);

    connect(programWatcher, &ProgramWatcher::Changed, this, [this] { reloadBar->ShowChanged(document->programFile); });
    connect(programWatcher, &ProgramWatcher::Missing, this, [this] { reloadBar->ShowMissing(document->programFile); });
    connect(reloadBar, &ReloadBar::ReloadRequested, this, &MainWindow::OnAction_Reload);
    connect(reloadBar, &ReloadBar::Ignored, programWatcher, &ProgramWatcher::TakeAsLoaded);

    connect(gdbServer, &GdbServer::Connecting, this, &MainWindow::OnGdbConnecting);
    connect(gdbServer, &GdbServer::Connected, this, &MainWindow::UpdateGdbLabel);
    connect(gdbServer, &GdbServer::Resumed, this, &MainWindow::OnGdbResumed);
    connect(gdbServer, &GdbServer::Stopped, this, &MainWindow::OnGdbStopped);
    connect(gdbServer, &GdbServer::Changed, this, [this] {
        stateFrame->UpdateControl();
        UpdateCurrentTab();
        UpdateCommand();
    });
    connect(gdbServer, &GdbServer::Disconnected, this, [this] {
        UpdateGdbLabel();
        OnGdbStopped();
    });
}

MainWindow::~MainWindow()
{
    // GDB's thread works on the document too; the connection's end is not shown any more.
    gdbServer->disconnect(this);
    delete gdbServer;
    gdbServer = nullptr;
    session->disconnect(this);
    session->StopAndWait();
    delete settings;
}

bool MainWindow::Busy() const
{
    return session->IsRunning() || awaitingFinish;
}

QAction* MainWindow::NewAction(const QString& text, const QKeySequence& key, const QString& icon,
                               const QString& toolTip, void (MainWindow::*slot)())
{
    QAction* action = new QAction(text, this);
    if (!key.isEmpty())
        action->setShortcut(key);
    if (!icon.isEmpty())
        action->setIcon(QIcon(icon));
    if (!toolTip.isEmpty())
        action->setToolTip(toolTip.arg(key.toString(QKeySequence::PortableText)));
    if (slot)
        connect(action, &QAction::triggered, this, slot);
    return action;
}

void MainWindow::CreateActions()
{
    // The command table: field, text, key, icon, tool tip (its %1 the key), slot, checkable.
    // Quitting has no slot here: close() returns whether the window closed.
    struct Command {
        QAction* MainWindow::*field;
        const char* text;
        QKeySequence key;
        const char* icon;
        const char* toolTip;
        void (MainWindow::*slot)();
        bool checkable;
    };
    const QKeySequence none;
    const Command commands[] = {
        {&MainWindow::aboutAction, "À propos de Zendra...", none, "", "", &MainWindow::OnAction_About, false},
        {&MainWindow::addDisaViewAction, "Ajouter une vue de désassemblage", Qt::Key_F2, ":/Icon/AddDisaView",
         "Ajouter une vue de désassemblage (%1)", &MainWindow::OnAction_AddDisaView, false},
        {&MainWindow::addHexaViewAction, "Ajouter une vue sur la mémoire", Qt::Key_F3, ":/Icon/AddHexaView",
         "Ajouter une vue sur la mémoire (%1)", &MainWindow::OnAction_AddHexaView, false},
        {&MainWindow::addMixedViewAction, "Ajouter une vue mixte", Qt::CTRL + Qt::Key_F3, ":/Icon/AddMixedView",
         "Ajouter une vue mixte (%1)", &MainWindow::OnAction_AddMixedView, false},
        {&MainWindow::editBreakpointAction, "Gestion des points d'arrêt...", Qt::Key_F7, ":/Icon/EditBreakpoint",
         "Afficher la fenêtre de gestion des points d'arrêt (%1)", &MainWindow::OnAction_EditBreakpoint, false},
        // The tool-bar button names F7 (below) but has no key of its own: F7 opens the dialog once.
        {&MainWindow::editBreakpointToolAction, "Gestion des points d'arrêt...", none, ":/Icon/EditBreakpoint", "",
         &MainWindow::OnAction_EditBreakpoint, false},
        {&MainWindow::enableAddressBreakpointAction, "Activation des points d'arrêt sur les adresses", none, "", "",
         &MainWindow::OnAction_EnableAddressBreakpoint, true},
        {&MainWindow::enableInstructionBreakpointAction, "Activation des points d'arrêt sur les instructions", none,
         "", "", &MainWindow::OnAction_EnableInstructionBreakpoint, true},
        {&MainWindow::quitAction, "&Quitter", Qt::CTRL + Qt::Key_Q, "", "", nullptr, false},
        {&MainWindow::openAction, "&Ouvrir", QKeySequence::Open, ":/Icon/Open",
         "Ouvrir un fichier au format S-Record (%1)", &MainWindow::OnAction_Open, false},
        {&MainWindow::quickRunAction, "Exécuter en mode &rapide", Qt::CTRL + Qt::Key_F9, ":/Icon/QuickRun",
         "Exécuter en mode rapide (%1)", &MainWindow::OnAction_QuickRun, false},
        {&MainWindow::removeAllAddressBreakpointAction, "Supprimer tous les points d'arrêt sur les adresses", none,
         "", "", &MainWindow::OnAction_RemoveAllAddressBreakpoint, false},
        {&MainWindow::removeAllInstructionBreakpointAction, "Supprimer tous les points d'arrêt sur les instructions",
         none, "", "", &MainWindow::OnAction_RemoveAllInstructionBreakpoint, false},
        {&MainWindow::resetAction, "&Réinitialiser", Qt::CTRL + Qt::Key_R, ":/Icon/Reset",
         "Réinitialiser le microprocesseur (%1)", &MainWindow::OnAction_Reset, false},
        {&MainWindow::runAction, "Exécuter", Qt::Key_F9, ":/Icon/Run", "Exécuter (%1)", &MainWindow::OnAction_Run,
         false},
        {&MainWindow::skipAction, "&Sauter une instruction", Qt::Key_F8, ":/Icon/Skip", "Sauter une instruction (%1)",
         &MainWindow::OnAction_Skip, false},
        {&MainWindow::stepIntoAction, "Pas à pas détaillé", Qt::Key_F11, ":/Icon/StepInto", "Pas à pas détaillé (%1)",
         &MainWindow::OnAction_StepInto, false},
        {&MainWindow::stepIntoNoBreakAction, "Pas à pas détaillé sans point d'arrêt", Qt::CTRL + Qt::Key_F11, "", "",
         &MainWindow::OnAction_StepIntoNoBreak, false},
        {&MainWindow::stepOutAction, "Pas à pas s&ortant", Qt::Key_F12, ":/Icon/StepOut", "Pas à pas sortant (%1)",
         &MainWindow::OnAction_StepOut, false},
        {&MainWindow::stepOutNoBreakAction, "Pas à pas sortant sans point d'arrêt", Qt::CTRL + Qt::Key_F12, "", "",
         &MainWindow::OnAction_StepOutNoBreak, false},
        {&MainWindow::stepOverAction, "&Pas à pas principal", Qt::Key_F10, ":/Icon/StepOver",
         "Pas à pas principal (%1)", &MainWindow::OnAction_StepOver, false},
        {&MainWindow::stepOverNoBreakAction, "Pas à pas principal sans point d'arrêt", Qt::CTRL + Qt::Key_F10, "", "",
         &MainWindow::OnAction_StepOverNoBreak, false},
        {&MainWindow::stopEmulationAction, "Stopper l'&exécution", Qt::Key_Escape, ":/Icon/StopEmulation",
         "Stopper l'exécution (%1)", &MainWindow::OnAction_StopEmulation, false},
        {&MainWindow::videoOutAction, "Afficher la fenêtre de sortie vidéo", Qt::Key_F4, ":/Icon/VideoOut",
         "Afficher la fenêtre de sortie vidéo (%1)", &MainWindow::OnAction_VideoOut, true},
        {&MainWindow::addSourceViewAction, "Ajouter une vue source", Qt::CTRL + Qt::Key_F2, "", "",
         &MainWindow::OnAction_AddSourceView, false},
        {&MainWindow::stepIntoLineAction, "Pas à pas détaillé (ligne)", Qt::SHIFT + Qt::Key_F11, "", "",
         &MainWindow::OnAction_StepIntoLine, false},
        {&MainWindow::stepOverLineAction, "Pas à pas principal (ligne)", Qt::SHIFT + Qt::Key_F10, "", "",
         &MainWindow::OnAction_StepOverLine, false},
        {&MainWindow::runBackAction, "Exécuter en arrière", Qt::SHIFT + Qt::Key_F9, "", "",
         &MainWindow::OnAction_RunBack, false},
        {&MainWindow::reloadAction, "Recharger", Qt::CTRL + Qt::SHIFT + Qt::Key_R, "", "",
         &MainWindow::OnAction_Reload, false},
        {&MainWindow::manualAction, "Manuel de Zendra", Qt::Key_F1, "", "", &MainWindow::OnAction_Manual, false},
        {&MainWindow::gdbServerAction, "Serveur GDB...", Qt::CTRL + Qt::Key_G, "", "", &MainWindow::OnAction_GdbServer,
         false},
        {&MainWindow::stepOverBackAction, "Pas à pas principal en arrière", Qt::SHIFT + Qt::Key_Backspace, "", "",
         &MainWindow::OnAction_StepOverBack, false},
        {&MainWindow::profileAction, "Profiler", Qt::CTRL + Qt::Key_P, "", "", &MainWindow::OnAction_Profile, true},
        {&MainWindow::exportProfileAction, "Exporter le profil...", none, "", "", &MainWindow::OnAction_ExportProfile,
         false},
        {&MainWindow::runToCursorAction, "Exécuter jusqu'au curseur", Qt::Key_F6, "", "",
         &MainWindow::OnAction_RunToCursor, false},
        {&MainWindow::pcHereAction, "Placer le PC ici", Qt::CTRL + Qt::SHIFT + Qt::Key_F10, "", "",
         &MainWindow::OnAction_PcHere, false},
    };
    for (const Command& c : commands) {
        QAction* action = NewAction(QString::fromUtf8(c.text), c.key, QString::fromUtf8(c.icon),
                                    QString::fromUtf8(c.toolTip), c.slot);
        action->setCheckable(c.checkable);
        this->*c.field = action;
    }
    connect(quitAction, &QAction::triggered, this, &MainWindow::close);
    editBreakpointToolAction->setToolTip(
        QStringLiteral("Afficher la fenêtre de gestion des points d'arrêt (%1)")
            .arg(editBreakpointAction->shortcut().toString(QKeySequence::PortableText)));

    const QKeySequence backspace(Qt::Key_Backspace);
    undoAction = NewAction(QStringLiteral("1 instruction"), none, QStringLiteral(":/Icon/Undo"), QString(),
                           qOverload<>(&MainWindow::OnAction_Undo));
    undoAction->setData(1);
    undoAction->setToolTip(QStringLiteral("Annuler la dernière instruction exécutée (%1)")
                               .arg(backspace.toString(QKeySequence::PortableText)));

    struct UndoEntry {
        const char* text;
        int count;
    };
    static const UndoEntry entries[] = {
        {"1 instruction", 1},         {"10 instructions", 10},       {"100 instructions", 100},
        {"1000 instructions", 1000},  {"10000 instructions", 10000}, {"100000 instructions", 100000},
        {"Toutes les instructions en mémoire", 0},
    };
    undoGroup = new QActionGroup(this);
    for (const UndoEntry& entry : entries) {
        QAction* action = undoGroup->addAction(QString::fromUtf8(entry.text));
        action->setData(entry.count);
    }
    undoGroup->actions().first()->setIcon(QIcon(QStringLiteral(":/Icon/Undo")));
    undoGroup->actions().first()->setShortcut(backspace);
    undoGroup->actions().last()->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_Backspace));
    connect(undoGroup, &QActionGroup::triggered, this, qOverload<QAction*>(&MainWindow::OnAction_Undo));
}

void MainWindow::CreateMenus()
{
    fileMenu = menuBar()->addMenu(QStringLiteral("&Fichier"));
    fileMenu->addAction(openAction);
    fileMenu->addAction(reloadAction);
    recentMenu = fileMenu->addMenu(QStringLiteral("Fichiers récents"));
    fileMenu->addSeparator();
    fileMenu->addAction(quitAction);

    viewMenu = menuBar()->addMenu(QStringLiteral("&Affichage"));
    viewMenu->addAction(addDisaViewAction);
    viewMenu->addAction(addHexaViewAction);
    viewMenu->addAction(addMixedViewAction);
    viewMenu->addAction(addSourceViewAction);
    viewMenu->addAction(videoOutAction);

    debugMenu = menuBar()->addMenu(QStringLiteral("&Déboguer"));
    undoMenu = debugMenu->addMenu(QStringLiteral("Annuler"));
    undoMenu->addActions(undoGroup->actions());
    debugMenu->addAction(resetAction);
    debugMenu->addAction(skipAction);
    debugMenu->addAction(pcHereAction);
    debugMenu->addSeparator();
    debugMenu->addAction(runAction);
    debugMenu->addAction(quickRunAction);
    debugMenu->addAction(runToCursorAction);
    debugMenu->addAction(runBackAction);
    debugMenu->addAction(stopEmulationAction);
    debugMenu->addSeparator();
    debugMenu->addAction(stepOverAction);
    debugMenu->addAction(stepOverNoBreakAction);
    debugMenu->addAction(stepOverLineAction);
    debugMenu->addAction(stepOverBackAction);
    debugMenu->addSeparator();
    debugMenu->addAction(stepIntoAction);
    debugMenu->addAction(stepIntoNoBreakAction);
    debugMenu->addAction(stepIntoLineAction);
    debugMenu->addSeparator();
    debugMenu->addAction(stepOutAction);
    debugMenu->addAction(stepOutNoBreakAction);
    debugMenu->addSeparator();
    debugMenu->addAction(profileAction);
    debugMenu->addAction(exportProfileAction);
    debugMenu->addSeparator();
    breakpointMenu = debugMenu->addMenu(QStringLiteral("Points d'arrêt"));
    breakpointMenu->addAction(editBreakpointAction);
    breakpointMenu->addSeparator();
    breakpointMenu->addAction(enableAddressBreakpointAction);
    breakpointMenu->addAction(enableInstructionBreakpointAction);
    breakpointMenu->addSeparator();
    breakpointMenu->addAction(removeAllAddressBreakpointAction);
    breakpointMenu->addAction(removeAllInstructionBreakpointAction);
    debugMenu->addSeparator();
    debugMenu->addAction(gdbServerAction);

    helpMenu = menuBar()->addMenu(QStringLiteral("Aide"));
    helpMenu->addAction(manualAction);
    helpMenu->addAction(aboutAction);

    for (QMenu* menu : {undoMenu, breakpointMenu, viewMenu})
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::UpdateCommand);
}

void MainWindow::CreateToolBar()
{
    undoAction->setMenu(undoMenu);
    editBreakpointToolAction->setMenu(breakpointMenu);

    toolBar = addToolBar(QStringLiteral("mainToolBar"));
    toolBar->setObjectName(QStringLiteral("mainToolBar"));
    toolBar->setFloatable(false);
    toolBar->addAction(openAction);
    toolBar->addSeparator();
    toolBar->addAction(addDisaViewAction);
    toolBar->addAction(addHexaViewAction);
    toolBar->addAction(addMixedViewAction);
    toolBar->addAction(videoOutAction);
    toolBar->addSeparator();
    toolBar->addAction(undoAction);
    toolBar->addAction(resetAction);
    toolBar->addAction(skipAction);
    toolBar->addSeparator();
    toolBar->addAction(runAction);
    toolBar->addAction(quickRunAction);
    toolBar->addAction(stopEmulationAction);
    toolBar->addSeparator();
    toolBar->addAction(stepOverAction);
    toolBar->addAction(stepIntoAction);
    toolBar->addAction(stepOutAction);
    toolBar->addSeparator();
    toolBar->addAction(editBreakpointToolAction);
}

void MainWindow::CenterWindow()
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    move((available.width() - width()) / 2, (available.height() - height()) / 2);
}

bool MainWindow::LoadFile(const QString& fileName)
{
    QString error;
    QString warning;
    const bool loaded = session->Load(fileName, &error, &warning);
    if (!loaded)
        ShowError(error);
    else
        ShowStatus(warning);
    return loaded;
}

void MainWindow::ShowError(const QString& text)
{
    QMessageBox::critical(this, QStringLiteral("Zendra - Erreur"), text, QMessageBox::Ok);
}

void MainWindow::UpdateCurrentTab()
{
    if (View* root = qobject_cast<View*>(tabWidget->currentWidget()))
        root->update();
}

void MainWindow::UpdateCurrentTabIfIdle()
{
    if (!running)
        UpdateCurrentTab();
}

View* MainWindow::IsStandardDisaView(View* v)
{
    return qobject_cast<StandardDisaView*>(v) ? v : nullptr;
}

View* MainWindow::IsMemoryView(View* v)
{
    return qobject_cast<MemoryView*>(v) ? v : nullptr;
}

View* MainWindow::IsSourceView(View* v)
{
    return qobject_cast<SourceView*>(v) ? v : nullptr;
}

View* MainWindow::IsProfileView(View* v)
{
    return qobject_cast<ProfileView*>(v) ? v : nullptr;
}

QList<View*> MainWindow::AllSingleViews() const
{
    QList<View*> views;
    for (int i = 0; i < tabWidget->count(); ++i) {
        View* root = qobject_cast<View*>(tabWidget->widget(i));
        if (root && root->manager)
            views += root->manager->SingleViewList();
    }
    return views;
}

void MainWindow::SetStartAddressOfDisaViews(unsigned int address)
{
    for (View* v : AllSingleViews()) {
        if (IsStandardDisaView(v))
            static_cast<StandardDisaView*>(v)->SetStartAddress(address);
        else if (IsSourceView(v))
            static_cast<SourceView*>(v)->SetStartAddress(address);
    }
}

void MainWindow::SetStartAddressOfAllViews(unsigned int address)
{
    for (View* v : AllSingleViews()) {
        if (IsStandardDisaView(v))
            static_cast<StandardDisaView*>(v)->SetStartAddress(address);
        else if (IsMemoryView(v))
            static_cast<MemoryView*>(v)->SetStartAddress(address);
        else if (IsSourceView(v))
            static_cast<SourceView*>(v)->SetStartAddress(address);
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    session->Interrupt();
    settings->SetGeometry(QStringLiteral("window"), saveGeometry());
    settings->SetGeometry(QStringLiteral("video"), videoDialog->saveGeometry());
    settings->SaveProgram(*document, carried);
    event->accept();
}

// One local file, and no more: a folder or several files are not a program.
void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.first().isLocalFile() && QFileInfo(urls.first().toLocalFile()).isFile())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return;
    event->acceptProposedAction();
    OpenProgram(urls.first().toLocalFile());
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == videoDialog && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        UpdateCommand();
    // The bar's layout asks no label for its height at a width: the stop's words are given
    // the lines they take at the width they have.
    if (watched == stopLabel && event->type() == QEvent::Resize)
        FitStopLabel();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::OnAction_About()
{
    AboutDialog dialog;
    dialog.exec();
}

void MainWindow::OnAction_EditBreakpoint()
{
    // The thread reads the breakpoint lists during a step, which leaves this command enabled.
    if (Busy())
        return;
    EditBreakpointDialog dialog(document, nullptr);
    dialog.exec();
    UpdateCurrentTabIfIdle();
}

View* MainWindow::NewDisaSplit(View*& standard)
{
    ExecutedDisaView* executed = new ExecutedDisaView();
    StandardDisaView* disassembly = new StandardDisaView();
    HSplitView* split = new HSplitView(executed, disassembly);
    const int h = executed->lineHeight;
    const int position = 3 * h + h / 2 - 1;
    executed->savedHeight = position;
    split->SetSeparatorWidth(1);
    split->SetSeparatorPosition(position, false);
    split->resizingMode = SplitView::FirstFixed;
    standard = disassembly;
    return split;
}

void MainWindow::AddPage(const QString& name, View* root, View* activeByDefault)
{
    ViewManager* manager = new ViewManager(name, root);
    // The tree was built before its manager existed, so its choice of active view is made
    // again now that there is a manager to hold it.
    if (activeByDefault)
        activeByDefault->ActivateByDefault();
    tabWidget->setCurrentWidget(manager->rootView);
}

void MainWindow::OnAction_AddDisaView()
{
    View* standard = nullptr;
    View* split = NewDisaSplit(standard);
    AddPage(QStringLiteral("Désa"), split, standard);
}

void MainWindow::OnAction_AddHexaView()
{
    AddPage(QStringLiteral("Mémoire"), new MemoryView(), nullptr);
}

void MainWindow::OnAction_AddMixedView()
{
    View* standard = nullptr;
    View* split = NewDisaSplit(standard);
    AddPage(QStringLiteral("Mixte"), new VSplitView(split, new MemoryView()), standard);
}

// The source above the disassembly: both then have the window's whole width, which a
// disassembly line needs and the source mostly does.
void MainWindow::OnAction_AddSourceView()
{
    SourceView* source = new SourceView();
    StandardDisaView* disassembly = new StandardDisaView();
    HSplitView* split = new HSplitView(source, disassembly);
    split->SetSeparatorWidth(1);
    AddPage(QStringLiteral("Source"), split, disassembly);
    disassembly->SetStartAddress(document->emulator->registers->pc);
    source->SetStartAddress(document->emulator->registers->pc);
}

void MainWindow::OfferSourcePage()
{
    if (document->lines->IsEmpty())
        return;
    for (View* v : AllSingleViews())
        if (IsSourceView(v))
            return;
    OnAction_AddSourceView();
}

void MainWindow::ResetMachineView()
{
    SetStartAddressOfAllViews(document->emulator->registers->pc);
    document->emulator->undoList.items.clear();
    stateFrame->UpdateControl();
    stateFrame->RecordReference();
    stateFrame->UpdateControl();
    UpdateCurrentTabIfIdle();
}

void MainWindow::OnAction_Open()
{
    const QString name = QFileDialog::getOpenFileName(
        this, QStringLiteral("Ouvrir un fichier au format S-Record"), settings->OpenFolder(),
        QStringLiteral("Programmes 68000 (*.hex *.elf);;Fichiers S-Record (*.hex);;Exécutables ELF (*.elf);;"
                       "Tous les fichiers (*.*)"),
        nullptr, QFileDialog::ReadOnly);
    if (name.isEmpty())
        return;
    settings->SetOpenFolder(QFileInfo(name).absolutePath());
    OpenProgram(name);
}

void MainWindow::OpenProgram(const QString& name)
{
    if (Busy() || gdbServer->IsConnected())
        return;
    const QFileInfo info(name);
    if (info.exists() && !info.isFile()) {
        ShowError(QStringLiteral("« %1 » n'est pas un fichier.").arg(name));
        return;
    }
    if (info.size() > largestProgram) {
        ShowError(QStringLiteral("Le fichier « %1 » est trop gros pour être un programme 68000.").arg(info.fileName()));
        return;
    }
    settings->SaveProgram(*document, carried);
    if (!LoadFile(name))
        return;
    TakeLoadedProgram();
    document->emulator->Reset();
    RestartProfile();
    OfferSourcePage();
    UpdateCommand();
    ResetMachineView();
}

void MainWindow::TakeLoadedProgram()
{
    settings->AddRecentFile(document->programFile);
    // A program remembered opens with its own breakpoints; another keeps the document's,
    // which stay the previous program's to remember.
    if (settings->HasProgram(document->programFile)) {
        document->RemoveAllAddressBreakpoints();
        document->watchpoints.clear();
        settings->RestoreProgram(*document);
        carried = Settings::Carried();
    } else {
        carried.breakpoints = document->addressBreakpoints;
        carried.watchpoints = document->watchpoints;
    }
    programWatcher->Watch(document->programFile);
    reloadBar->hide();
    UpdateRecentMenu();
}

void MainWindow::UpdateRecentMenu()
{
    if (!recentMenu)
        return;
    recentMenu->clear();
    const QStringList files = settings->RecentFiles();
    for (int i = 0; i < files.size(); ++i) {
        QString shown = files.at(i);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = recentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        if (i == 0)
            action->setShortcut(QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_O));
        const QString file = files.at(i);
        connect(action, &QAction::triggered, this, [this, file] { OpenProgram(file); });
    }
    recentMenu->setEnabled(!files.isEmpty());
}

void MainWindow::OnAction_Reload()
{
    const QString name = document->programFile;
    if (name.isEmpty() || Busy() || gdbServer->IsConnected())
        return;
    if (!QFileInfo(name).isFile()) {
        reloadBar->ShowMissing(name);
        return;
    }
    QString error;
    if (QFileInfo(name).size() > largestProgram)
        error = QStringLiteral("Le fichier est trop gros pour être un programme 68000.");
    QString warning;
    if (!error.isEmpty() || !session->Reload(name, &error, &warning)) {
        reloadBar->ShowFailed(name, error);
        return;
    }
    ShowStatus(warning);
    programWatcher->TakeAsLoaded();
    reloadBar->hide();
    document->emulator->Reset();
    RestartProfile();
    OfferSourcePage();
    UpdateCommand();
    ResetMachineView();
}

void MainWindow::OnAction_Manual()
{
    ManualDialog::ShowManual(this);
}

void MainWindow::OnAction_Profile()
{
    if (Busy() || gdbServer->IsConnected()) {
        UpdateCommand();
        return;
    }
    if (profileAction->isChecked()) {
        profiler.reset(new Profiler(document));
        profiler->Start();
        session->SetObserver(profiler.get());
    } else {
        session->SetObserver(nullptr);
        profiler.reset();
    }
    CollectProfile();
    UpdateCommand();
    UpdateCurrentTab();
}

// Another program's code: what was counted, and the kinds of instruction remembered at each
// address, belong to the one before.
void MainWindow::RestartProfile()
{
    if (profiler)
        profiler->Start();
    CollectProfile();
}

// After each stop, once for all the views that show it.
void MainWindow::CollectProfile()
{
    profile = profiler ? std::make_unique<Profile>(profiler->Collect()) : nullptr;
    document->profile = profile.get();
}

void MainWindow::OnAction_ExportProfile()
{
    if (!profiler || Busy())
        return;
    const QString program = document->programFile;
    const QString suggested = program.isEmpty() ? QStringLiteral("callgrind.out")
                                                : QFileInfo(program).completeBaseName() + QStringLiteral(".callgrind");
    const QString name = QFileDialog::getSaveFileName(this, QStringLiteral("Exporter le profil"),
                                                      QDir(settings->OpenFolder()).filePath(suggested),
                                                      QStringLiteral("Profils callgrind (*.callgrind callgrind.out*);;"
                                                                     "Tous les fichiers (*.*)"));
    if (name.isEmpty())
        return;
    const Profile profile = profiler->Collect();
    const QStringList paths = profile.SourcePaths(program);
    // Written whole or not at all, as the runner's outputs are.
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(CallgrindWriter(profile, paths, QStringLiteral("Zendra ") + program).Write()) < 0 ||
        !file.commit())
        ShowError(QStringLiteral("Impossible d'écrire le profil dans « %1 » : %2").arg(name, file.errorString()));
}

void MainWindow::OnAction_VideoOut()
{
    videoDialog->setVisible(!videoDialog->isVisible());
    activateWindow();
}

void MainWindow::LaunchEmulation(int mode)
{
    LaunchEmulation(mode, RunBounds());
}

void MainWindow::LaunchEmulation(int mode, const RunBounds& bounds)
{
    if (Busy() || gdbServer->IsConnected())
        return;
    switch (mode) {
    case StepOverMode:
    case StepOverNoBreakMode:
        running = document->IsJSR();
        break;
    case StepOutMode:
    case StepOutNoBreakMode:
    case RunMode:
    case QuickRunMode:
    case StepIntoLineMode:
    case StepOverLineMode:
    case RunBackMode:
    case StepOverBackMode:
        running = true;
        break;
    case UndoMode:
        running = document->undoCount != 1;
        break;
    default:
        running = false;
        break;
    }
    UpdateCommand();
    stopLabel->clear();
    stateFrame->RecordReference();
    if (running && videoDialog->isVisible()) {
        videoDialog->activateWindow();
        videoDialog->grabKeyboard();
    }
    awaitingFinish = true;
    // An operation of one instruction leaves the window enabled: done here, it ends before
    // the panel and the views, which read the registers and the history, are painted again.
    if (!running) {
        session->RunHere(static_cast<EmulationMode>(mode), bounds);
        FinishedEmulation();
        return;
    }
    session->Start(static_cast<EmulationMode>(mode), bounds);
}

void MainWindow::OnAction_StepInto()
{
    LaunchEmulation(StepIntoMode);
}

void MainWindow::OnAction_StepIntoNoBreak()
{
    LaunchEmulation(StepIntoNoBreakMode);
}

void MainWindow::OnAction_StepOver()
{
    LaunchEmulation(StepOverMode);
}

void MainWindow::OnAction_StepOverNoBreak()
{
    LaunchEmulation(StepOverNoBreakMode);
}

void MainWindow::OnAction_StepOut()
{
    LaunchEmulation(StepOutMode);
}

void MainWindow::OnAction_StepOutNoBreak()
{
    LaunchEmulation(StepOutNoBreakMode);
}

void MainWindow::OnAction_StepIntoLine()
{
    if (!document->lines->IsEmpty())
        LaunchEmulation(StepIntoLineMode);
}

void MainWindow::OnAction_StepOverLine()
{
    if (!document->lines->IsEmpty())
        LaunchEmulation(StepOverLineMode);
}

void MainWindow::OnAction_Run()
{
    LaunchEmulation(RunMode);
}

void MainWindow::OnAction_QuickRun()
{
    LaunchEmulation(QuickRunMode);
}

bool MainWindow::CursorTarget(unsigned int& address)
{
    const View* root = qobject_cast<View*>(tabWidget->currentWidget());
    const DisaView* view = root && root->manager ? qobject_cast<DisaView*>(root->manager->activeView) : nullptr;
    const std::optional<unsigned int> cursor = view ? view->CursorAddress() : std::nullopt;
    if (!cursor) {
        ShowStatus(QStringLiteral("Aucune ligne choisie : cliquez sur une ligne de code d'une vue source ou de "
                                  "désassemblage, puis recommencez."));
        return false;
    }
    address = *cursor;
    return true;
}

void MainWindow::OnAction_RunToCursor()
{
    unsigned int address = 0;
    if (CursorTarget(address))
        RunTo(address);
}

void MainWindow::OnAction_PcHere()
{
    unsigned int address = 0;
    if (CursorTarget(address))
        MovePc(address);
}

void MainWindow::RunTo(unsigned int address)
{
    if (document->programFile.isEmpty())
        return;
    RunBounds bounds;
    bounds.untilSet = true;
    bounds.until = address & 0xFFFFFF;
    LaunchEmulation(RunMode, bounds);
}

void MainWindow::MovePc(unsigned int address)
{
    if (Busy() || gdbServer->IsConnected() || document->programFile.isEmpty())
        return;
    document->emulator->EditingRegisters();
    document->emulator->registers->pc = address & 0xFFFFFF;
    SetStartAddressOfDisaViews(document->emulator->registers->pc);
    stateFrame->UpdateControl();
    UpdateCommand();
    UpdateCurrentTab();
}

void MainWindow::OnAction_Undo(QAction* action)
{
    // A request while the thread is busy is dropped whole: the count of the run in progress
    // stays as it was.
    if (Busy())
        return;
    document->undoCount = action->data().toInt();
    LaunchEmulation(UndoMode);
}

void MainWindow::OnAction_Undo()
{
    OnAction_Undo(undoAction);
}

void MainWindow::OnAction_StopEmulation()
{
    if (awaitingFinish)
        session->Interrupt();
    else if (gdbServer->IsRunning())
        gdbServer->Interrupt();
}

void MainWindow::OnAction_Skip()
{
    if (Busy())
        return;
    document->Skip();
    SetStartAddressOfDisaViews(document->emulator->registers->pc);
    stateFrame->UpdateControl();
    UpdateCurrentTabIfIdle();
}

void MainWindow::OnAction_Reset()
{
    if (Busy())
        return;
    document->emulator->Reset();
    ResetMachineView();
}

void MainWindow::OnAction_EnableAddressBreakpoint()
{
    if (Busy())
        return;
    document->addressBreakpointsEnabled = !document->addressBreakpointsEnabled;
    UpdateCurrentTabIfIdle();
}

void MainWindow::OnAction_EnableInstructionBreakpoint()
{
    if (Busy())
        return;
    document->instructionBreakpointsEnabled = !document->instructionBreakpointsEnabled;
    UpdateCurrentTabIfIdle();
}

void MainWindow::OnAction_RemoveAllAddressBreakpoint()
{
    if (Busy())
        return;
    document->RemoveAllAddressBreakpoints();
    UpdateCurrentTabIfIdle();
}

void MainWindow::OnAction_RemoveAllInstructionBreakpoint()
{
    if (Busy())
        return;
    document->instructionBreakpoints.clear();
    UpdateCurrentTabIfIdle();
}

void MainWindow::UpdateCommand()
{
    // While GDB runs the machine the window is as during its own runs; while GDB is only
    // connected, the machine is GDB's to run, and the rest of the window works.
    const bool gdbRunning = gdbServer->IsRunning();
    const bool idle = !running && !gdbRunning;
    const bool free = idle && !gdbServer->IsConnected();
    for (QAction* action : {addDisaViewAction, addHexaViewAction, addMixedViewAction, editBreakpointAction,
                            editBreakpointToolAction})
        action->setEnabled(idle);
    reloadAction->setEnabled(free && !document->programFile.isEmpty());
    reloadBar->reloadButton->setEnabled(free);
    recentMenu->setEnabled(free && !recentMenu->isEmpty());
    for (QAction* action : {openAction, quickRunAction, resetAction, runAction, skipAction, stepIntoAction,
                            stepIntoNoBreakAction, stepOverAction, stepOverNoBreakAction, stepOutAction,
                            stepOutNoBreakAction})
        action->setEnabled(free);
    addSourceViewAction->setEnabled(idle);
    stepIntoLineAction->setEnabled(free && !document->lines->IsEmpty());
    stepOverLineAction->setEnabled(free && !document->lines->IsEmpty());
    removeAllAddressBreakpointAction->setEnabled(idle && !document->addressBreakpoints.isEmpty());
    removeAllInstructionBreakpointAction->setEnabled(idle && !document->instructionBreakpoints.isEmpty());
    stopEmulationAction->setEnabled(running || gdbRunning);
    profileAction->setEnabled(free);
    profileAction->setChecked(profiler != nullptr);
    exportProfileAction->setEnabled(free && profiler);
    document->runsAllowed = free;
    runToCursorAction->setEnabled(free && !document->programFile.isEmpty());
    pcHereAction->setEnabled(free && !document->programFile.isEmpty());
    gdbServerAction->setEnabled(!running);
    videoOutAction->setChecked(videoDialog->isVisible());
    enableInstructionBreakpointAction->setEnabled(idle);
    enableInstructionBreakpointAction->setChecked(document->instructionBreakpointsEnabled);
    enableAddressBreakpointAction->setEnabled(idle);
    enableAddressBreakpointAction->setChecked(document->addressBreakpointsEnabled);

    // The history changes under a run, when the window is not free: it is not read then.
    const int history = free ? document->emulator->undoList.items.count() : 0;
    const bool undoable = history > 0;
    runBackAction->setEnabled(undoable);
    stepOverBackAction->setEnabled(undoable);
    undoAction->setEnabled(undoable);
    undoGroup->setEnabled(undoable);
    if (undoable) {
        for (QAction* action : undoGroup->actions()) {
            const int n = action->data().toInt();
            action->setEnabled(n <= history);
        }
    }
    tabWidget->setEnabled(idle);
    stateFrame->setEnabled(idle);
}

void MainWindow::FinishedEmulation()
{
    // A run that GDB's arrival ended has been taken in already.
    if (!awaitingFinish)
        return;
    awaitingFinish = false;
    document->selectedFrame = 0;
    CollectProfile();
    SetStartAddressOfDisaViews(document->emulator->registers->pc);
    videoDialog->releaseKeyboard();
    running = false;
    UpdateCommand();
    stateFrame->UpdateControl();
    UpdateCurrentTab();
    activateWindow();
    const RunStop& stop = session->LastStop();
    const QString stepKey = stepIntoNoBreakAction->shortcut().toString(QKeySequence::NativeText);
    ShowStatus(StopReport::Text(stop, *document, stepKey));
    if (stop.cause == StopCause::Watchpoint)
        QMessageBox::information(this, QStringLiteral("Zendra - Point d'observation"), stop.message, QMessageBox::Ok);
    else if (!stop.message.isEmpty())
        ShowError(stop.message);
}

void MainWindow::OnAction_RunBack()
{
    LaunchEmulation(RunBackMode);
}

void MainWindow::OnAction_StepOverBack()
{
    LaunchEmulation(StepOverBackMode);
}

void MainWindow::OnAction_GdbServer()
{
    GdbServerDialog dialog(gdbServer, this);
    dialog.exec();
    UpdateGdbLabel();
}

// GDB takes the machine: a run of the window's own ends first, as Escape would end it.
void MainWindow::OnGdbConnecting()
{
    // Taken in through Finished, as any end of a run.
    if (awaitingFinish)
        session->StopAndWait();
}

void MainWindow::OnGdbResumed()
{
    stateFrame->RecordReference();
    UpdateCommand();
}

// As after a step: the views go to the program counter, the panel shows what changed.
void MainWindow::OnGdbStopped()
{
    document->selectedFrame = 0;
    CollectProfile();
    SetStartAddressOfDisaViews(document->emulator->registers->pc);
    UpdateCommand();
    stateFrame->UpdateControl();
    UpdateCurrentTab();
}

void MainWindow::UpdateGdbLabel()
{
    const QString where = gdbServer->Where();
    if (!gdbServer->IsListening())
        gdbLabel->clear();
    else if (gdbServer->IsConnected())
        gdbLabel->setText(QStringLiteral("GDB connecté sur %1 : c'est lui qui mène l'exécution").arg(where));
    else
        gdbLabel->setText(QStringLiteral("Serveur GDB en attente sur %1").arg(where));
    UpdateStatusBar();
    UpdateCommand();
}

void MainWindow::ShowStatus(const QString& text)
{
    stopLabel->setText(text);
    FitStopLabel();
    UpdateStatusBar();
}

void MainWindow::FitStopLabel()
{
    // Measured here: a label's own height for a width keeps the fixed height it was given.
    const QFontMetrics metrics = stopLabel->fontMetrics();
    const QMargins margins = stopLabel->contentsMargins();
    const int width = std::max(1, stopLabel->width() - margins.left() - margins.right());
    const QRect text = metrics.boundingRect(QRect(0, 0, width, 1 << 20), Qt::TextWordWrap, stopLabel->text());
    stopLabel->setFixedHeight(std::max(text.height(), metrics.height()) + margins.top() + margins.bottom());
}

// Shown once it has something to say, a stop's words or the GDB server's state; then it
// stays, so that the views do not jump at every run.
void MainWindow::UpdateStatusBar()
{
    if (!stopLabel->text().isEmpty())
        statusBarKept = true;
    statusBar()->setVisible(gdbServer->IsListening() || statusBarKept);
}

void MainWindow::OnLastWrite(unsigned int address, unsigned int mask)
{
    if (Busy())
        return;
    const UndoItemRing& items = document->emulator->undoList.items;
    const unsigned int a = address & 0xFFFFFF;
    const bool pixel = mask != 0xFF;
    const int index = pixel ? HistorySearch::LastChange(items, *document->memory, a, mask)
                            : HistorySearch::LastWrite(items, a);
    QString what;
    if (pixel) {
        const unsigned int offset = a - MemoryBuffer::videoStart;
        const unsigned int rowBytes = Document::videoWidth / 8;
        int bit = 0;
        while (bit < 8 && !(mask & (0x80u >> bit)))
            ++bit;
        what = QStringLiteral("le point (%1, %2) de l'écran").arg((offset % rowBytes) * 8 + unsigned(bit)).arg(offset / rowBytes);
    } else {
        what = QStringLiteral("l'octet en $%1").arg(Disassembler::Hexa(a, 6));
    }
    OfferLastWrite(index, what, pixel);
}

void MainWindow::OnLastRegisterWrite(const QString& name)
{
    if (Busy())
        return;
    OfferLastWrite(HistorySearch::LastChange(document->emulator->undoList.items, *document->emulator->registers, name),
                   QStringLiteral("le registre %1").arg(name.toUpper()), true);
}

void MainWindow::OfferLastWrite(int index, const QString& what, bool changed)
{
    const UndoItemRing& items = document->emulator->undoList.items;
    const QString title = QStringLiteral("Zendra - Dernière écriture");
    // A pixel or a register is searched for the last change: an instruction that wrote the
    // same value again did not change it, and is not the one named.
    if (index < 0) {
        const QString text = changed ? QStringLiteral("Aucune des %1 instructions de l'historique n'a modifié %2 : "
                                                      "il l'a été avant le début de l'historique, ou jamais.")
                                     : QStringLiteral("Aucune des %1 instructions de l'historique n'a écrit %2 : "
                                                      "il l'a été avant le début de l'historique, ou jamais.");
        QMessageBox::information(this, title, text.arg(items.count()).arg(what), QMessageBox::Ok);
        return;
    }
    const unsigned int writer = items.at(index)->pc & 0xFFFFFF;
    const int back = items.count() - 1 - index;
    Disassembler* d = document->disassembler;
    d->SetStartAddress(writer);
    d->Disassemble();
    QString text = (changed ? QStringLiteral("La dernière modification de %1 est celle de l'instruction en $%2 (%3)")
                            : QStringLiteral("La dernière écriture dans %1 est celle de l'instruction en $%2 (%3)"))
                       .arg(what, Disassembler::Hexa(writer, 6), (d->mnemonic + QLatin1Char(' ') + d->operand).trimmed());
    if (back == 0) {
        QMessageBox::information(this, title, text + QStringLiteral(", la dernière exécutée."), QMessageBox::Ok);
        SetStartAddressOfDisaViews(writer);
        UpdateCurrentTab();
        return;
    }
    text += QStringLiteral(", suivie de %1 instruction%2.\nRevenir juste après elle ?")
                .arg(back)
                .arg(back > 1 ? QStringLiteral("s") : QString());
    if (QMessageBox::question(this, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
        != QMessageBox::Yes)
        return;
    stateFrame->RecordReference();
    document->emulator->Undo(back);
    SetStartAddressOfDisaViews(writer);
    UpdateCommand();
    stateFrame->UpdateControl();
    UpdateCurrentTab();
}
