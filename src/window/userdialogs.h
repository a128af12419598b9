#pragma once

// How the window asks the user: modal message boxes and file dialogs. The
// window goes through this seam so that tests can answer without a person.

#include <QMessageBox>
#include <QString>

#include <memory>
#include <optional>

class QFileDialog;
class QWidget;

class UserDialogs
{
public:
    virtual ~UserDialogs() = default;

    // A modal box owned by `owner` with a single OK button.
    virtual void showMessage(QWidget *owner, QMessageBox::Icon icon, const QString &title, const QString &text) = 0;
    // The path chosen in `dialog`, or std::nullopt when it ended with anything but OK.
    virtual std::optional<QString> chooseFile(QFileDialog &dialog) = 0;
};

class ModalUserDialogs : public UserDialogs
{
public:
    void showMessage(QWidget *owner, QMessageBox::Icon icon, const QString &title, const QString &text) override;
    std::optional<QString> chooseFile(QFileDialog &dialog) override;
};

// The box that ModalUserDialogs shows, not yet shown.
std::unique_ptr<QMessageBox> messageBox(QWidget *owner, QMessageBox::Icon icon, const QString &title,
                                        const QString &text);

// The least width at which a window manager shows `title` whole in the title
// bar, beside the window's icon and buttons.
int widthForTitle(const QString &title);
