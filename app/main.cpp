#include "app/MainWindow.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    application.setWindowIcon(QIcon(QStringLiteral(":/Icon/Main")));
    MainWindow window;
    window.show();
    return application.exec();
}
