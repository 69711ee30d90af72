#pragma once

// The one way the program asks for the name of a file to write. Tests put an
// answer in place of the file dialog.

#include <QString>

#include <functional>

class QWidget;

using SaveNameAsker = std::function<QString(QWidget *parent, const QString &caption)>;

// The chosen path, or empty when the operator cancelled.
QString AskSaveName(QWidget *parent, const QString &caption);

// Replaces the asker (an empty one restores the dialog); returns the previous.
SaveNameAsker SetSaveNameAsker(SaveNameAsker asker);
