#include "MessageBoxes.h"

#include <QInputDialog>

namespace tintaro {
namespace {

struct TestHooks
{
    std::optional<QMessageBox::StandardButton> nextAnswer;
    std::optional<std::optional<QString>> nextInput;
    QStringList shown;
};

TestHooks& hooks()
{
    static TestHooks instance;
    return instance;
}

} // namespace

QMessageBox::StandardButton MessageBoxes::show(QWidget* parent, QMessageBox::Icon icon,
                                               const QString& text,
                                               QMessageBox::StandardButtons buttons)
{
    TestHooks& h = hooks();
    if (h.nextAnswer) {
        const QMessageBox::StandardButton answer = *h.nextAnswer;
        h.nextAnswer.reset();
        h.shown.append(text);
        return answer;
    }
    QMessageBox box(icon, QString::fromLatin1(kTitle), text, buttons, parent);
    // The main window stays on top of everything; its messages must too.
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    return QMessageBox::StandardButton(box.exec());
}

QMessageBox::StandardButton MessageBoxes::critical(QWidget* parent, const QString& text)
{
    return show(parent, QMessageBox::Critical, text, QMessageBox::Ok);
}

QMessageBox::StandardButton MessageBoxes::warning(QWidget* parent, const QString& text)
{
    return show(parent, QMessageBox::Warning, text, QMessageBox::Ok);
}

QMessageBox::StandardButton MessageBoxes::okCancel(QWidget* parent, const QString& text)
{
    return show(parent, QMessageBox::NoIcon, text, QMessageBox::Ok | QMessageBox::Cancel);
}

std::optional<QString> MessageBoxes::inputText(QWidget* parent, const QString& prompt,
                                               const QString& title, const QString& defaultText)
{
    TestHooks& h = hooks();
    if (h.nextInput) {
        const std::optional<QString> answer = *h.nextInput;
        h.nextInput.reset();
        h.shown.append(prompt);
        return answer;
    }
    QInputDialog dialog(parent);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

void MessageBoxes::setNextInput(std::optional<QString> answer)
{
    hooks().nextInput.emplace(std::move(answer)); // armed, even with Cancel
}

void MessageBoxes::setNextAnswer(QMessageBox::StandardButton answer)
{
    hooks().nextAnswer = answer;
}

QStringList MessageBoxes::shownTexts() { return hooks().shown; }

void MessageBoxes::clearShownTexts() { hooks().shown.clear(); }

} // namespace tintaro
