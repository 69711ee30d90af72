#pragma once

#include <QDialog>

// The about box: icon, name and version, OK.
class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget *parent = nullptr);
};

// The version line the about box shows.
QString AboutVersionText();
