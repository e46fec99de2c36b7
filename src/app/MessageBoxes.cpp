#include "MessageBoxes.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QRegularExpression>

namespace tintaro {
namespace {

struct TestHooks
{
    std::optional<QMessageBox::StandardButton> nextAnswer;
    std::optional<std::optional<QString>> nextInput;
    std::optional<std::optional<QString>> nextFileName;
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

std::optional<QString> MessageBoxes::fileName(QWidget* parent, FileRole role, const QString& title,
                                              const QString& suggested, const QString& filter)
{
    TestHooks& h = hooks();
    if (h.nextFileName) {
        const std::optional<QString> answer = *h.nextFileName;
        h.nextFileName.reset();
        h.shown.append(role == FileRole::Save
                           ? title + QStringLiteral(": ") + QFileInfo(suggested).fileName()
                           : title);
        return answer;
    }
    QFileDialog dialog(parent, title, suggested, filter);
    const bool save = role == FileRole::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save) {
        dialog.selectFile(suggested);
        // A name typed without an ending gets the format's.
        static const QRegularExpression ending(QStringLiteral("\\(\\*\\.([^ )]+)\\)"));
        const QRegularExpressionMatch match = ending.match(filter);
        if (match.hasMatch())
            dialog.setDefaultSuffix(match.captured(1));
    }
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

void MessageBoxes::setNextFileName(std::optional<QString> answer)
{
    hooks().nextFileName.emplace(std::move(answer));
}

void MessageBoxes::setNextInput(std::optional<QString> answer)
{
    hooks().nextInput.emplace(std::move(answer)); // armed, even with Cancel
}

void MessageBoxes::setNextAnswer(QMessageBox::StandardButton answer)
{
    hooks().nextAnswer = answer;
}

QStringList MessageBoxes::shownTexts()
{
    return hooks().shown;
}

void MessageBoxes::clearShownTexts()
{
    hooks().shown.clear();
}

} // namespace tintaro
