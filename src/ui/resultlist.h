#pragma once

// The result list: a view of uniform rows over the compact line storage.
// Every row has the same height, so finding, painting and scrolling to a row
// is arithmetic: the view never lays out its rows, which keeps list updates
// as cheap with ten million lines as with ten.

#include <QAbstractItemView>
#include <QByteArrayView>

class ResultListModel;

class CResultList : public QAbstractItemView
{
    Q_OBJECT
public:
    explicit CResultList(QWidget *parent = nullptr);

    ResultListModel *lines() const { return m_model; }
    void addLine(QByteArrayView line);
    void resetContent();
    qsizetype count() const;
    // The text of line i; empty for a line that does not exist.
    QByteArray text(qsizetype i) const;
    // The line holding the focus mark: the one last clicked or reached with
    // the keyboard, else the first.
    qsizetype currentLine() const;
    // Shows every stored line now and repaints.
    void flushAndUpdate();

    QModelIndex indexAt(const QPoint &point) const override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    QRect visualRect(const QModelIndex &index) const override;

signals:
    void lineDoubleClicked();
    void selectionOrCurrentChanged();

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex &) const override { return false; }
    void setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection &selection) const override;
    void paintEvent(QPaintEvent *event) override;
    void updateGeometries() override;
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int rowHeight() const;
    int visibleRows() const;
    int contentWidth() const;
    int rowAt(int y) const;

    ResultListModel *m_model;
};
