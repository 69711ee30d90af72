#include "ui/findbar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

CFindBar::CFindBar(QWidget *parent)
    : QFrame(parent), m_edit(new QLineEdit(this)), m_status(new QLabel(this))
{
    setObjectName(QStringLiteral("findBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    auto *label = new QLabel(QStringLiteral("Find:"), this);
    label->setObjectName(QStringLiteral("findLabel"));
    m_edit->setObjectName(QStringLiteral("findText"));
    label->setBuddy(m_edit);
    m_status->setObjectName(QStringLiteral("findStatus"));
    m_status->setText(QStringLiteral("Not found"));
    m_status->hide();
    auto *closeButton = new QToolButton(this);
    closeButton->setObjectName(QStringLiteral("findClose"));
    closeButton->setText(QStringLiteral("x"));
    closeButton->setToolTip(QStringLiteral("Close (Esc)"));
    closeButton->setFocusPolicy(Qt::NoFocus);
    connect(closeButton, &QToolButton::clicked, this, &CFindBar::closeBar);
    connect(m_edit, &QLineEdit::textEdited, this, [this] { showNotFound(false); });
    // Enter and Escape must not reach the window: there Enter presses the
    // default button and Escape closes the window.
    m_edit->installEventFilter(this);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(4);
    layout->addWidget(label);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_status);
    layout->addWidget(closeButton);
    hide();
}

QString CFindBar::text() const
{
    return m_edit->text();
}

void CFindBar::openBar()
{
    show();
    raise();
    m_edit->setFocus(Qt::ShortcutFocusReason);
    m_edit->selectAll();
}

void CFindBar::closeBar()
{
    if (isHidden())
        return;
    showNotFound(false);
    hide();
    emit closed();
}

void CFindBar::showNotFound(bool notFound)
{
    m_status->setVisible(notFound);
}

bool CFindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit findNextRequested();
            return true;
        }
        if (key == Qt::Key_Escape) {
            closeBar();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}
