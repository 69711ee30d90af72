#include "ui/notify.h"

#include <QApplication>
#include <QMessageBox>

namespace {

class BoxNotifier final : public Notifier
{
public:
    void messageBox(QWidget *parent, const QString &text) override
    {
        QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(), text,
                        QMessageBox::Ok, parent);
        box.exec();
    }
    void beep() override { QApplication::beep(); }
};

BoxNotifier g_boxNotifier;
Notifier *g_notifier = &g_boxNotifier;

} // namespace

void ShowMessage(QWidget *parent, const QString &text)
{
    g_notifier->messageBox(parent, text);
}

void Beep()
{
    g_notifier->beep();
}

Notifier *SetNotifier(Notifier *notifier)
{
    Notifier *previous = g_notifier;
    g_notifier = notifier ? notifier : &g_boxNotifier;
    return previous;
}
