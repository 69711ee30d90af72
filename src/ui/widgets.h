#pragma once

// The few controls of the program's own: edits that hold wire text, the
// result list over its compact model, and the history up-down control.

#include <QByteArray>
#include <QLineEdit>

#include "ui/resultlist.h"

// An edit whose text is wire bytes. It refuses characters outside the wire
// character set instead of replacing them; an upper-case edit turns every
// letter typed or placed into it into its capital; a digits-only edit takes
// only digits from the keyboard.
class CFormEdit : public QLineEdit
{
    Q_OBJECT
public:
    CFormEdit(bool upperCase, bool digitsOnly, QWidget *parent = nullptr);
    void setWireText(const QByteArray &bytes);
    QByteArray wireText() const;
    bool isUpperCase() const { return m_upperCase; }

private:
    bool m_upperCase;
};

// Up-down arrows with no partner field: up proposes -1 (older), down +1.
class CHistorySpin : public QWidget
{
    Q_OBJECT
public:
    explicit CHistorySpin(QWidget *parent = nullptr);

signals:
    void stepProposed(int delta);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *m_up;
    QWidget *m_down;
};
