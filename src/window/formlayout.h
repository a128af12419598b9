#pragma once

// Placing the window's controls: the layout is drawn on a 6 x 13 pixel
// character cell and scaled to the cell of the default font, the keyboard
// focus follows each control's tab index, and no text is cut off.

#include <QRect>
#include <QSize>

class QAbstractButton;
class QFontMetrics;
class QLabel;
class QString;
class QWidget;

class FormScale
{
public:
    static constexpr int kBaseCellWidth = 6;
    static constexpr int kBaseCellHeight = 13;

    explicit FormScale(const QFontMetrics &metrics);

    // Each edge is scaled and rounded on its own, so that controls that touch
    // or keep a gap at the base cell do the same after scaling.
    QRect rect(int x, int y, int width, int height) const;
    QSize size(int width, int height) const;

private:
    double m_x;
    double m_y;
};

// The tab index decides the focus order among the children of one container;
// children with equal indexes keep the order in which they were added.
void setTabIndex(QWidget *control, int index);
int tabIndex(const QWidget *control);
void chainFocusByTabIndex(QWidget *root);

// A label sizes itself to its text.
void setAutoSizedText(QLabel *label, const QString &text);

// The width at which a button shows its caption whole.
int captionWidth(const QAbstractButton *button);

// A control narrower than `width` grows to it, to the right as far as its
// container's edge and the next control to its right allow, and then to the
// left.
void growToWidth(QWidget *control, int width);
