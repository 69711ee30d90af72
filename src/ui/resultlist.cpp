#include "ui/resultlist.h"

#include "ui/resultlistmodel.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFocusRect>

namespace {
constexpr int kTextMargin = 2;
} // namespace

CResultList::CResultList(QWidget *parent)
    : QAbstractItemView(parent), m_model(new ResultListModel(this))
{
    setModel(m_model);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(this, &QAbstractItemView::doubleClicked, this, &CResultList::lineDoubleClicked);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CResultList::selectionOrCurrentChanged);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CResultList::selectionOrCurrentChanged);
}

void CResultList::addLine(QByteArrayView line)
{
    m_model->appendLine(line);
}

void CResultList::resetContent()
{
    m_model->clear();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

qsizetype CResultList::count() const
{
    return m_model->lineCount();
}

QByteArray CResultList::text(qsizetype i) const
{
    return m_model->lineText(i);
}

qsizetype CResultList::currentLine() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : 0;
}

void CResultList::flushAndUpdate()
{
    m_model->flush();
    viewport()->repaint();
}

int CResultList::rowHeight() const
{
    return fontMetrics().height() + 2;
}

int CResultList::visibleRows() const
{
    return std::max(1, viewport()->height() / rowHeight());
}

int CResultList::contentWidth() const
{
    const qsizetype chars = std::min(m_model->longestLine(), ResultListModel::kMaxShownChars + 1);
    return int(chars) * fontMetrics().averageCharWidth() + 2 * kTextMargin;
}

int CResultList::rowAt(int y) const
{
    return y / rowHeight() + verticalScrollBar()->value();
}

int CResultList::horizontalOffset() const
{
    return horizontalScrollBar()->value();
}

int CResultList::verticalOffset() const
{
    return verticalScrollBar()->value() * rowHeight();
}

QModelIndex CResultList::indexAt(const QPoint &point) const
{
    const int row = rowAt(point.y());
    return point.y() >= 0 && row < m_model->rowCount() ? m_model->index(row, 0) : QModelIndex();
}

QRect CResultList::visualRect(const QModelIndex &index) const
{
    if (!index.isValid())
        return {};
    const int top = (index.row() - verticalScrollBar()->value()) * rowHeight();
    return QRect(-horizontalOffset(), top, std::max(viewport()->width(), contentWidth()),
                 rowHeight());
}

void CResultList::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    if (!index.isValid())
        return;
    QScrollBar *bar = verticalScrollBar();
    const int row = index.row();
    const int rows = visibleRows();
    switch (hint) {
    case PositionAtTop:
        bar->setValue(row);
        break;
    case PositionAtBottom:
        bar->setValue(row - rows + 1);
        break;
    case PositionAtCenter:
        bar->setValue(row - rows / 2);
        break;
    case EnsureVisible:
        if (row < bar->value())
            bar->setValue(row);
        else if (row >= bar->value() + rows)
            bar->setValue(row - rows + 1);
        break;
    }
}

QModelIndex CResultList::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers)
{
    const int rows = m_model->rowCount();
    if (rows == 0)
        return {};
    const QModelIndex current = currentIndex();
    int row = current.isValid() ? current.row() : 0;
    switch (cursorAction) {
    case MoveUp:
    case MovePrevious:
        row -= current.isValid() ? 1 : 0;
        break;
    case MoveDown:
    case MoveNext:
        row += current.isValid() ? 1 : 0;
        break;
    case MovePageUp:
        row -= visibleRows();
        break;
    case MovePageDown:
        row += visibleRows();
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = rows - 1;
        break;
    default:
        break;
    }
    return m_model->index(std::clamp(row, 0, rows - 1), 0);
}

void CResultList::setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command)
{
    const int rows = m_model->rowCount();
    if (rows == 0)
        return;
    const QRect r = rect.normalized();
    const int first = std::clamp(rowAt(std::max(r.top(), 0)), 0, rows - 1);
    const int last = std::clamp(rowAt(std::max(r.bottom(), 0)), 0, rows - 1);
    selectionModel()->select(QItemSelection(m_model->index(first, 0), m_model->index(last, 0)),
                             command);
}

QRegion CResultList::visualRegionForSelection(const QItemSelection &selection) const
{
    QRegion region;
    const int top = verticalScrollBar()->value();
    const int bottom = top + visibleRows() + 1;
    for (const QItemSelectionRange &range : selection) {
        const int first = std::max(range.top(), top);
        const int last = std::min(range.bottom(), bottom);
        if (first <= last)
            region +=
                visualRect(m_model->index(first, 0)).united(visualRect(m_model->index(last, 0)));
    }
    return region;
}

void CResultList::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const int height = rowHeight();
    const int first = rowAt(event->rect().top());
    const int last = std::min(rowAt(event->rect().bottom()), m_model->rowCount() - 1);
    const QModelIndex current = currentIndex();
    const QPalette &pal = palette();
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = m_model->index(row, 0);
        const QRect rect = visualRect(index);
        const bool selected = selectionModel()->isSelected(index);
        if (selected)
            painter.fillRect(rect, pal.brush(QPalette::Highlight));
        painter.setPen(pal.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter.drawText(rect.adjusted(kTextMargin, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         ResultListModel::DisplayText(m_model->lineView(row)));
        if (row == current.row() && hasFocus()) {
            QStyleOptionFocusRect option;
            option.initFrom(this);
            option.rect = QRect(0, rect.top(), viewport()->width(), height);
            option.backgroundColor = pal.color(selected ? QPalette::Highlight : QPalette::Base);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
        }
    }
}

void CResultList::updateGeometries()
{
    const int rows = m_model->rowCount();
    QScrollBar *vertical = verticalScrollBar();
    vertical->setSingleStep(1);
    vertical->setPageStep(visibleRows());
    vertical->setRange(0, std::max(0, rows - visibleRows()));
    QScrollBar *horizontal = horizontalScrollBar();
    horizontal->setSingleStep(fontMetrics().averageCharWidth());
    horizontal->setPageStep(viewport()->width());
    horizontal->setRange(0, rows == 0 ? 0 : std::max(0, contentWidth() - viewport()->width()));
    QAbstractItemView::updateGeometries();
}

void CResultList::rowsInserted(const QModelIndex &parent, int start, int end)
{
    QAbstractItemView::rowsInserted(parent, start, end);
    updateGeometries();
    viewport()->update();
}

void CResultList::resizeEvent(QResizeEvent *event)
{
    QAbstractItemView::resizeEvent(event);
    updateGeometries();
}
