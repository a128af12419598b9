#include "formlayout.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabWidget>

#include <algorithm>
#include <cmath>

namespace {

const char *const kTabIndexProperty = "tabIndex";

// Room between a caption and the edge of its button, on each side.
constexpr int kCaptionPadding = 3;
// Room kept between a grown control and its neighbour or its container's edge.
constexpr int kGrowthClearance = 4;

int scaled(int value, double factor)
{
    return int(std::lround(value * factor));
}

bool hasTabIndex(const QWidget *widget)
{
    return widget->property(kTabIndexProperty).isValid();
}

// The children placed by the layout, in the order in which they were added;
// a tab control's children are its pages.
QList<QWidget *> placedChildren(QWidget *container)
{
    QList<QWidget *> children;
    if (auto *tabs = qobject_cast<QTabWidget *>(container)) {
        for (int page = 0; page < tabs->count(); ++page)
            children.append(tabs->widget(page));
    } else {
        for (QObject *child : container->children()) {
            auto *widget = qobject_cast<QWidget *>(child);
            if (widget && hasTabIndex(widget))
                children.append(widget);
        }
    }
    std::stable_sort(children.begin(), children.end(),
                     [](const QWidget *a, const QWidget *b) { return tabIndex(a) < tabIndex(b); });
    return children;
}

void appendFocusOrder(QWidget *container, QList<QWidget *> &order)
{
    for (QWidget *child : placedChildren(container)) {
        if (child->focusPolicy() & Qt::TabFocus)
            order.append(child);
        appendFocusOrder(child, order);
    }
}

} // namespace

FormScale::FormScale(const QFontMetrics &metrics)
    : m_x(double(metrics.averageCharWidth()) / kBaseCellWidth)
    , m_y(double(metrics.height()) / kBaseCellHeight)
{
}

QRect FormScale::rect(int x, int y, int width, int height) const
{
    const int left = scaled(x, m_x);
    const int top = scaled(y, m_y);
    return QRect(left, top, scaled(x + width, m_x) - left, scaled(y + height, m_y) - top);
}

QSize FormScale::size(int width, int height) const
{
    return QSize(scaled(width, m_x), scaled(height, m_y));
}

void setTabIndex(QWidget *control, int index)
{
    control->setProperty(kTabIndexProperty, index);
}

int tabIndex(const QWidget *control)
{
    return control->property(kTabIndexProperty).toInt();
}

void chainFocusByTabIndex(QWidget *root)
{
    QList<QWidget *> order;
    appendFocusOrder(root, order);
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void setAutoSizedText(QLabel *label, const QString &text)
{
    label->setText(text);
    label->adjustSize();
}

int captionWidth(const QAbstractButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.rect = button->rect();
    const QRect contents = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    return button->fontMetrics().horizontalAdvance(button->text()) + 2 * kCaptionPadding
           + (button->width() - contents.width());
}

void growToWidth(QWidget *control, int width)
{
    if (control->width() >= width)
        return;
    const QRect placed = control->geometry();
    int rightLimit = control->parentWidget()->contentsRect().right() + 1 - kGrowthClearance;
    for (QObject *child : control->parentWidget()->children()) {
        const auto *sibling = qobject_cast<QWidget *>(child);
        if (!sibling || sibling == control || sibling->isWindow())
            continue;
        const QRect other = sibling->geometry();
        const bool sameRow = other.top() <= placed.bottom() && other.bottom() >= placed.top();
        if (sameRow && other.left() > placed.right())
            rightLimit = std::min(rightLimit, other.left() - kGrowthClearance);
    }
    QRect grown(placed.topLeft(), QSize(width, placed.height()));
    if (grown.right() + 1 > rightLimit)
        grown.moveRight(rightLimit - 1);
    control->setGeometry(grown);
}
