#pragma once

// The one way the program tells the operator something: a modal warning box
// or the default beep. Tests install a recorder instead of the real boxes.

#include <QString>

class QWidget;

class Notifier
{
public:
    virtual ~Notifier() = default;
    virtual void messageBox(QWidget *parent, const QString &text) = 0;
    virtual void beep() = 0;
};

// Warning icon, one OK button, captioned with the program name.
void ShowMessage(QWidget *parent, const QString &text);
void Beep();

// Replaces the notifier (nullptr restores the real one); returns the previous.
Notifier *SetNotifier(Notifier *notifier);
