#pragma once

// The small bar below the result list that asks for a text to find. It only
// collects the text and shows the outcome; the list actions do the search.

#include <QFrame>

class QLabel;
class QLineEdit;

class CFindBar : public QFrame
{
    Q_OBJECT
public:
    explicit CFindBar(QWidget *parent);

    QString text() const;
    // Shows the bar (if hidden) and puts the focus into its text.
    void openBar();
    void closeBar();
    void showNotFound(bool notFound);

signals:
    void findNextRequested();
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_edit;
    QLabel *m_status;
};
