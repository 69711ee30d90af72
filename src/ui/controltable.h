#pragma once

// Windows described as tables of controls in dialog units: a horizontal unit
// is a quarter of the dialog font's average character width, a vertical unit
// an eighth of its height. Creation order is table order, which gives the tab
// order.

#include <QFont>
#include <QRect>
#include <span>

class QWidget;

enum class ControlKind { Edit, Button, DefaultButton, CheckBox, Radio, Label, GroupBox, ListBox, Spin };

enum ControlStyle : unsigned {
    kPlain = 0,
    kUpperCase = 1u << 0,
    kDigitsOnly = 1u << 1,
    kHidden = 1u << 2,
    kGroupStart = 1u << 3,
};

struct ControlSpec
{
    int id; // -1 for labels and group boxes
    ControlKind kind;
    const char *text; // UTF-8
    int x, y, cx, cy;
    unsigned style = kPlain;
};

// The font all windows of the program use.
QFont DialogFont();

// The classic style the layouts were drawn for: group box titles sit in
// the frame line. Left alone when the user chose a style himself.
void UseClassicStyle();

class DialogUnits
{
public:
    explicit DialogUnits(const QFont &font);
    QRect toPixels(int x, int y, int cx, int cy) const;
    int px(int duX) const;
    int py(int duY) const;

private:
    double m_baseX;
    double m_baseY;
};

// Creates the table's controls as children of the window, each with its id as
// object name (labels and group boxes get "static<n>"), and sizes the window.
void BuildControls(QWidget *window, std::span<const ControlSpec> table, int cx, int cy);
