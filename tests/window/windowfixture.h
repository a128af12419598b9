#pragma once

// A configuration window on simulated units, whose message boxes and file
// dialogs are answered from a script instead of by a person.

#include "support/testsupport.h"
#include "usbconfigurationform.h"
#include "userdialogs.h"

#include <QList>
#include <QStringList>

#include <memory>
#include <optional>

class ScriptedDialogs : public UserDialogs
{
public:
    struct Message
    {
        QWidget *owner;
        QMessageBox::Icon icon;
        QString title;
        QString text;
    };

    void showMessage(QWidget *owner, QMessageBox::Icon icon, const QString &title, const QString &text) override;
    // Takes the next answer; with none left the dialog counts as cancelled.
    std::optional<QString> chooseFile(QFileDialog &dialog) override;

    QList<Message> messages;
    QStringList fileDialogsShown; // object names, in order
    QList<std::optional<QString>> fileAnswers;
};

struct WindowFixture
{
    WindowFixture();

    template <typename Control>
    Control *control(const char *name) const
    {
        auto *found = window->findChild<Control *>(QLatin1String(name));
        if (!found)
            qFatal("The window has no control %s of the expected kind", name);
        return found;
    }

    // Shows the window and waits until it has the keyboard focus.
    bool showActive() const;

    FakeReplyClock clock;
    ScopedSimulatedBridge bridge;
    ScriptedDialogs *dialogs;
    std::unique_ptr<USBConfiguration::USBConfigurationForm> window;
};
