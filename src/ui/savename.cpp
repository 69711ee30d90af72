#include "ui/savename.h"

#include <QFileDialog>

namespace {

QString DialogAsker(QWidget *parent, const QString &caption)
{
    return QFileDialog::getSaveFileName(parent, caption, QString(),
                                        QStringLiteral("Text files (*.txt);;All files (*)"));
}

SaveNameAsker &CurrentAsker()
{
    static SaveNameAsker asker = DialogAsker;
    return asker;
}

} // namespace

QString AskSaveName(QWidget *parent, const QString &caption)
{
    return CurrentAsker()(parent, caption);
}

SaveNameAsker SetSaveNameAsker(SaveNameAsker asker)
{
    SaveNameAsker previous = std::move(CurrentAsker());
    CurrentAsker() = asker ? std::move(asker) : SaveNameAsker(DialogAsker);
    return previous;
}
