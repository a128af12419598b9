#pragma once

// How the window asks the user: modal message boxes and file dialogs. The
// window goes through this seam so that tests can answer without a person.

#include <QMessageBox>
#include <QString>

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
