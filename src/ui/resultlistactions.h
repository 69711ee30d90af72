#pragma once

// What the operator can do with the result list beyond selecting and
// double-clicking: copy, save, find and look at a line's bytes. Added beside
// the list's own behaviour; selection and current line change only the way a
// click changes them.

#include <QObject>
#include <QPoint>
#include <QRect>

class CFindBar;
class CResultList;
class QAction;

class ResultListActions : public QObject
{
    Q_OBJECT
public:
    // Becomes a child of the list. The list must already sit in its window:
    // the find bar goes into the window below it.
    explicit ResultListActions(CResultList *list);

    void copySelection();
    void copyAll();
    void saveAs();
    void showBytes();
    void openFind();
    void findNext();

    // Nullptr until the bar was first opened.
    CFindBar *findBar() const { return m_findBar; }

    // Copies larger than this many line bytes are refused with a message:
    // the clipboard text takes two bytes per line byte, so 256 MiB of lines
    // already cost half a gigabyte of text, which takes long to build and
    // longer to hand to other programs. Save as has no such bound.
    static constexpr qsizetype kDefaultCopyLimit = qsizetype(256) * 1024 * 1024;
    void setCopyLimit(qsizetype bytes) { m_copyLimit = bytes; }

private:
    QAction *makeAction(const char *name, const QString &text,
                        void (ResultListActions::*handler)());
    void showContextMenu(const QPoint &pos);
    void copyRanges(bool all);
    void onFindClosed();

    CResultList *m_list;
    CFindBar *m_findBar = nullptr;
    QRect m_listGeometry;
    qsizetype m_copyLimit = kDefaultCopyLimit;
    QAction *m_copy;
    QAction *m_copyAll;
    QAction *m_saveAs;
    QAction *m_showBytes;
    QAction *m_find;
    QAction *m_findNext;
};
