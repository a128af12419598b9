#include "userdialogs.h"

#include <QFileDialog>

void ModalUserDialogs::showMessage(QWidget *owner, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, owner);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

std::optional<QString> ModalUserDialogs::chooseFile(QFileDialog &dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}
