#include "ui/resultlistactions.h"

#include "ui/findbar.h"
#include "ui/linesearch.h"
#include "ui/listexport.h"
#include "ui/notify.h"
#include "ui/rawview.h"
#include "ui/resultlistmodel.h"
#include "ui/savename.h"
#include "ui/widgets.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>

#include <algorithm>
#include <vector>

namespace {

// The selected rows as sorted, non-overlapping ranges: a selection of a
// million rows is one range, not a million indexes.
std::vector<LineRange> SelectedRanges(const CResultList &list)
{
    std::vector<LineRange> ranges;
    for (const QItemSelectionRange &range : list.selectionModel()->selection())
        ranges.push_back({range.top(), range.bottom()});
    std::sort(ranges.begin(), ranges.end(),
              [](const LineRange &a, const LineRange &b) { return a.first < b.first; });
    std::vector<LineRange> merged;
    for (const LineRange &range : ranges) {
        if (!merged.empty() && range.first <= merged.back().last + 1)
            merged.back().last = std::max(merged.back().last, range.last);
        else
            merged.push_back(range);
    }
    return merged;
}

} // namespace

ResultListActions::ResultListActions(CResultList *list) : QObject(list), m_list(list)
{
    setObjectName(QStringLiteral("resultListActions"));
    m_copy = makeAction("copyAction", QStringLiteral("&Copy"), &ResultListActions::copySelection);
    m_copyAll =
        makeAction("copyAllAction", QStringLiteral("Copy &all"), &ResultListActions::copyAll);
    m_saveAs =
        makeAction("saveAsAction", QStringLiteral("&Save as..."), &ResultListActions::saveAs);
    m_showBytes = makeAction("showBytesAction", QStringLiteral("Show &bytes..."),
                             &ResultListActions::showBytes);
    m_find = makeAction("findAction", QStringLiteral("&Find..."), &ResultListActions::openFind);
    m_findNext =
        makeAction("findNextAction", QStringLiteral("Find &next"), &ResultListActions::findNext);

    // Copy belongs to the list alone: in the edits Ctrl+C copies their text.
    m_copy->setShortcut(QKeySequence::Copy);
    m_copy->setShortcutContext(Qt::WidgetShortcut);
    m_find->setShortcut(QKeySequence::Find);
    m_find->setShortcutContext(Qt::WindowShortcut);
    m_findNext->setShortcut(QKeySequence::FindNext);
    m_findNext->setShortcutContext(Qt::WindowShortcut);
    for (QAction *action : {m_copy, m_find, m_findNext})
        m_list->addAction(action);

    // The list's own menu; elsewhere the window keeps offering its own.
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this,
            &ResultListActions::showContextMenu);
}

QAction *ResultListActions::makeAction(const char *name, const QString &text,
                                       void (ResultListActions::*handler)())
{
    auto *action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    connect(action, &QAction::triggered, this, handler);
    return action;
}

void ResultListActions::showContextMenu(const QPoint &pos)
{
    const bool hasLines = m_list->count() > 0;
    m_copy->setEnabled(m_list->selectionModel()->hasSelection());
    m_copyAll->setEnabled(hasLines);
    m_saveAs->setEnabled(hasLines);
    m_showBytes->setEnabled(hasLines);
    QMenu menu(m_list);
    menu.setObjectName(QStringLiteral("resultListMenu"));
    menu.addAction(m_copy);
    menu.addAction(m_copyAll);
    menu.addAction(m_saveAs);
    menu.addSeparator();
    menu.addAction(m_showBytes);
    menu.addAction(m_find);
    menu.exec(m_list->viewport()->mapToGlobal(pos));
    // The shortcut of Copy must work whatever the menu last showed.
    m_copy->setEnabled(true);
}

void ResultListActions::copySelection()
{
    copyRanges(false);
}

void ResultListActions::copyAll()
{
    copyRanges(true);
}

void ResultListActions::copyRanges(bool all)
{
    const std::vector<LineRange> ranges =
        all ? std::vector<LineRange>{{0, m_list->count() - 1}} : SelectedRanges(*m_list);
    if (ranges.empty() || m_list->count() == 0)
        return;
    const std::optional<QString> text = LinesText(*m_list->lines(), ranges, m_copyLimit);
    if (!text) {
        ShowMessage(m_list->window(),
                    QStringLiteral("Die Zeilen sind zu groß für die Zwischenablage (mehr als %1 "
                                   "MB). Bitte \"Save as...\" verwenden.")
                        .arg(m_copyLimit / (1024 * 1024)));
        return;
    }
    QGuiApplication::clipboard()->setText(*text);
}

void ResultListActions::saveAs()
{
    const QString path = AskSaveName(m_list->window(), QStringLiteral("Save as"));
    if (path.isEmpty())
        return;
    QString error;
    if (!SaveLines(*m_list->lines(), path, error)) {
        ShowMessage(m_list->window(),
                    QStringLiteral("Die Datei %1 konnte nicht geschrieben werden: %2")
                        .arg(QDir::toNativeSeparators(path), error));
    }
}

void ResultListActions::showBytes()
{
    if (m_list->count() == 0)
        return;
    const qsizetype line = m_list->currentLine();
    auto *view = new CRawView(line, m_list->lines()->lineView(line), m_list->window());
    view->show();
}

void ResultListActions::openFind()
{
    if (!m_findBar) {
        m_findBar = new CFindBar(m_list->parentWidget());
        connect(m_findBar, &CFindBar::findNextRequested, this, &ResultListActions::findNext);
        connect(m_findBar, &CFindBar::closed, this, &ResultListActions::onFindClosed);
    }
    if (m_findBar->isHidden()) {
        // The bar takes the bottom of the list's place; the window keeps its
        // size and no other control moves.
        m_listGeometry = m_list->geometry();
        const int barHeight = std::min(m_findBar->sizeHint().height(), m_listGeometry.height() / 2);
        QRect shrunk = m_listGeometry;
        shrunk.setHeight(m_listGeometry.height() - barHeight);
        m_list->setGeometry(shrunk);
        m_findBar->setGeometry(m_listGeometry.x(), shrunk.bottom() + 1, m_listGeometry.width(),
                               barHeight);
        if (m_list->currentIndex().isValid())
            m_list->scrollTo(m_list->currentIndex());
    }
    m_findBar->openBar();
}

void ResultListActions::onFindClosed()
{
    m_list->setGeometry(m_listGeometry);
    m_list->setFocus(Qt::OtherFocusReason);
}

void ResultListActions::findNext()
{
    if (!m_findBar || m_findBar->isHidden() || m_findBar->text().isEmpty()) {
        openFind();
        return;
    }
    const LineMatcher matcher(m_findBar->text());
    const QModelIndex current = m_list->currentIndex();
    const qsizetype found =
        FindLine(*m_list->lines(), matcher, current.isValid() ? current.row() + 1 : 0);
    m_findBar->showNotFound(found < 0);
    if (found < 0)
        return;
    ResultListModel *model = m_list->lines();
    if (found >= model->rowCount())
        model->flush();
    const QModelIndex index = model->index(int(found), 0);
    m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_list->scrollTo(index);
}
