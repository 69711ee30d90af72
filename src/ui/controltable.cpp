#include "ui/controltable.h"

#include "ui/widgets.h"

#include <QApplication>
#include <QButtonGroup>
#include <QStyleFactory>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

QFont DialogFont()
{
    // DejaVu Sans comes with every Qt installation on Linux; at 8 points its
    // texts fit their controls at the windows' dialog units.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

void UseClassicStyle()
{
    if (!qEnvironmentVariableIsEmpty("QT_STYLE_OVERRIDE"))
        return;
    if (QStyle *style = QStyleFactory::create(QStringLiteral("Windows")))
        QApplication::setStyle(style);
}

DialogUnits::DialogUnits(const QFont &font)
{
    const QFontMetricsF fm(font);
    const double alphabet =
        fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = std::round(alphabet / 52.0);
    m_baseY = std::round(fm.height());
}

int DialogUnits::px(int duX) const
{
    return int(std::lround(duX * m_baseX / 4.0));
}

int DialogUnits::py(int duY) const
{
    return int(std::lround(duY * m_baseY / 8.0));
}

QRect DialogUnits::toPixels(int x, int y, int cx, int cy) const
{
    return QRect(px(x), py(y), px(cx), py(cy));
}

namespace {

QWidget *CreateControl(QWidget *window, const ControlSpec &spec, QButtonGroup *&radioGroup)
{
    const QString text = QString::fromUtf8(spec.text);
    switch (spec.kind) {
    case ControlKind::Edit:
        return new CFormEdit((spec.style & kUpperCase) != 0, (spec.style & kDigitsOnly) != 0,
                             window);
    case ControlKind::Button:
    case ControlKind::DefaultButton: {
        auto *button = new QPushButton(text, window);
        button->setDefault(spec.kind == ControlKind::DefaultButton);
        return button;
    }
    case ControlKind::CheckBox:
        return new QCheckBox(text, window);
    case ControlKind::Radio: {
        auto *radio = new QRadioButton(text, window);
        if ((spec.style & kGroupStart) || !radioGroup)
            radioGroup = new QButtonGroup(window);
        radioGroup->addButton(radio);
        return radio;
    }
    case ControlKind::Label:
        return new QLabel(text, window);
    case ControlKind::GroupBox:
        return new QGroupBox(text, window);
    case ControlKind::ListBox:
        return new CResultList(window);
    case ControlKind::Spin:
        return new CHistorySpin(window);
    }
    return nullptr;
}

} // namespace

void BuildControls(QWidget *window, std::span<const ControlSpec> table, int cx, int cy)
{
    window->setFont(DialogFont());
    const DialogUnits units(window->font());
    QButtonGroup *radioGroup = nullptr;
    int statics = 0;
    for (const ControlSpec &spec : table) {
        QWidget *control = CreateControl(window, spec, radioGroup);
        control->setObjectName(spec.id >= 0 ? QString::number(spec.id)
                                            : QStringLiteral("static%1").arg(++statics));
        control->setProperty("controlId", spec.id);
        QRect rect = units.toPixels(spec.x, spec.y, spec.cx, spec.cy);
        // A box's text is never cut: it may take a few pixels more than the
        // table gives, into the blank space beside it.
        if (spec.kind == ControlKind::CheckBox || spec.kind == ControlKind::Radio)
            rect.setWidth(std::max(rect.width(), control->sizeHint().width()));
        control->setGeometry(rect);
        if (spec.kind == ControlKind::GroupBox)
            control->lower(); // a frame drawn behind the controls it surrounds
        if (spec.style & kHidden)
            control->hide();
        if (spec.kind != ControlKind::Radio)
            radioGroup = nullptr;
    }
    window->setFixedSize(units.px(cx), units.py(cy));
}
