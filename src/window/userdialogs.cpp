#include "userdialogs.h"

#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QSpacerItem>

namespace {

// Beside the title, a title bar holds the window's icon and up to three
// buttons (minimize, maximize, close), each with its spacing about twice as
// wide as the title font is high.
constexpr int kTitleBarButtons = 4;
constexpr int kButtonWidthInLines = 2;

} // namespace

int widthForTitle(const QString &title)
{
    // Window managers commonly draw the title in bold.
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(title) + kTitleBarButtons * kButtonWidthInLines * metrics.height();
}

std::unique_ptr<QMessageBox> messageBox(QWidget *owner, QMessageBox::Icon icon, const QString &title,
                                        const QString &text)
{
    auto box = std::make_unique<QMessageBox>(icon, title, text, QMessageBox::Ok, owner);
    box->setDefaultButton(QMessageBox::Ok);
    // QMessageBox sizes itself to its text and allows only a little room for
    // the title, so a short text cut the title off. A row as wide as the
    // title needs, across the box's layout, keeps it from getting narrower.
    if (auto *grid = qobject_cast<QGridLayout *>(box->layout())) {
        const QMargins margins = grid->contentsMargins();
        const int width = widthForTitle(title) - margins.left() - margins.right();
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    return box;
}

void ModalUserDialogs::showMessage(QWidget *owner, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    messageBox(owner, icon, title, text)->exec();
}

std::optional<QString> ModalUserDialogs::chooseFile(QFileDialog &dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}
