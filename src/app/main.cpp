#include "app/queryapp.h"
#include "ui/controltable.h"
#include "version.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The program name captions message boxes and names the settings branch.
    QApplication::setApplicationName(QFileInfo(QString::fromLocal8Bit(argv[0])).completeBaseName());
    QApplication::setApplicationVersion(QStringLiteral(FAREPROBE_VERSION));
    UseClassicStyle();
    CQueryApp theApp;
    return theApp.Run();
}
