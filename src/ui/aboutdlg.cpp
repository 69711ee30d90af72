#include "ui/aboutdlg.h"

#include "ui/controltable.h"
#include "ui/programicon.h"
#include "version.h"

#include <QLabel>
#include <QPushButton>

namespace {

using K = ControlKind;

const ControlSpec kAboutControls[] = {
    {-1, K::Label, "", 11, 17, 20, 20},
    {-1, K::Label, "Fareprobe, Version 1.0", 40, 10, 119, 8},
    {1, K::DefaultButton, "OK", 178, 7, 32, 14, kGroupStart},
    // The build's file and product version, which Windows shows in the
    // file's properties; here it is shown where the operator looks for it.
    {-1, K::Label, "", 40, 24, 119, 8},
};

} // namespace

QString AboutVersionText()
{
    return QStringLiteral(FAREPROBE_VERSION);
}

CAboutDlg::CAboutDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Info über Fareprobe"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    BuildControls(this, kAboutControls, 217, 55);
    auto *icon = findChild<QLabel *>(QStringLiteral("static1"));
    icon->setPixmap(ProgramIcon().pixmap(32, 32));
    icon->setObjectName(QStringLiteral("icon"));
    auto *ok = findChild<QPushButton *>(QStringLiteral("1"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *version = findChild<QLabel *>(QStringLiteral("static3"));
    version->setText(QStringLiteral("Version %1").arg(AboutVersionText()));
}
