// The processor state panel's tests: the value field, the two dialogs and the panel,
// driven on the offscreen platform as the user would.
#include <QApplication>

int RunRegisterTextTests(int argc, char** argv);
int RunDialogTests(int argc, char** argv);
int RunStateFrameTests(int argc, char** argv);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    int failures = 0;
    failures += RunRegisterTextTests(argc, argv);
    failures += RunDialogTests(argc, argv);
    failures += RunStateFrameTests(argc, argv);
    return failures;
}
