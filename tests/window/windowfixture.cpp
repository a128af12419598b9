#include "windowfixture.h"

#include <QApplication>
#include <QFileDialog>
#include <QTest>

void ScriptedDialogs::showMessage(QWidget *owner, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    messages.append({owner, icon, title, text});
}

std::optional<QString> ScriptedDialogs::chooseFile(QFileDialog &dialog)
{
    fileDialogsShown.append(dialog.objectName());
    return fileAnswers.isEmpty() ? std::nullopt : fileAnswers.takeFirst();
}

WindowFixture::WindowFixture()
{
    auto scripted = std::make_unique<ScriptedDialogs>();
    dialogs = scripted.get();
    window = std::make_unique<USBConfiguration::USBConfigurationForm>(std::move(scripted));
}

bool WindowFixture::showActive() const
{
    window->show();
    QApplication::setActiveWindow(window.get());
    return QTest::qWaitForWindowActive(window.get());
}
