#include "ui/widgets.h"

#include "session/wiretext.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QToolButton>
#include <QValidator>

#include <limits>

namespace {

class WireValidator final : public QValidator
{
public:
    WireValidator(bool upperCase, QObject *parent) : QValidator(parent), m_upperCase(upperCase) {}

    State validate(QString &input, int &) const override
    {
        for (const QChar c : std::as_const(input)) {
            if (!IsWireChar(c))
                return Invalid;
        }
        if (m_upperCase)
            input = WireUpper(input);
        return Acceptable;
    }

private:
    bool m_upperCase;
};

class DigitsFilter final : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            const QString text = key->text();
            if (!text.isEmpty() && text.at(0).isPrint() &&
                !(text.size() == 1 && text.at(0) >= u'0' && text.at(0) <= u'9'))
                return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

CFormEdit::CFormEdit(bool upperCase, bool digitsOnly, QWidget *parent)
    : QLineEdit(parent), m_upperCase(upperCase)
{
    // A line edit cuts its text at 32767 characters by default; composed
    // requests pass through the message field and must leave whole.
    setMaxLength(std::numeric_limits<int>::max());
    setValidator(new WireValidator(upperCase, this));
    // Digits only from the keyboard: text the program places is not checked.
    if (digitsOnly)
        installEventFilter(new DigitsFilter(this));
}

void CFormEdit::setWireText(const QByteArray &bytes)
{
    const QString text = WireToText(bytes);
    setText(m_upperCase ? WireUpper(text) : text);
}

QByteArray CFormEdit::wireText() const
{
    return TextToWire(text());
}

CHistorySpin::CHistorySpin(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    auto *up = new QToolButton(this);
    auto *down = new QToolButton(this);
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    for (QToolButton *b : {up, down}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
    }
    up->setObjectName(QStringLiteral("up"));
    down->setObjectName(QStringLiteral("down"));
    connect(up, &QToolButton::clicked, this, [this] { emit stepProposed(-1); });
    connect(down, &QToolButton::clicked, this, [this] { emit stepProposed(+1); });
    m_up = up;
    m_down = down;
}

void CHistorySpin::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Up)
        emit stepProposed(-1);
    else if (event->key() == Qt::Key_Down)
        emit stepProposed(+1);
    else
        QWidget::keyPressEvent(event);
}

void CHistorySpin::resizeEvent(QResizeEvent *)
{
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}
