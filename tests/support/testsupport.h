#pragma once

// Shared helpers for the test programs.

#include "ui/notify.h"

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

// Renders bytes with NUL shown as "~" so failures read like the console.
QByteArray Tilde(QByteArray bytes);

// Records message boxes and beeps instead of showing them, for its lifetime.
class NotifierRecorder : public Notifier
{
public:
    NotifierRecorder();
    ~NotifierRecorder() override;
    void messageBox(QWidget *parent, const QString &text) override;
    void beep() override;

    QStringList messages;
    int beeps = 0;

private:
    Notifier *m_previous;
};

// Points the settings store at a file in a fresh temporary folder.
class TempSettings
{
public:
    TempSettings();
    ~TempSettings();
    QString path() const;

private:
    QTemporaryDir m_dir;
};

} // namespace testsupport
