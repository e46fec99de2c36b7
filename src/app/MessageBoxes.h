#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <optional>

namespace tintaro {

// Every message box of the program goes through here, titled with the
// program's name. Tests pre-answer the next box instead of clicking it, and
// can read what would have been shown.
class MessageBoxes
{
public:
    static constexpr const char* kTitle = "Tintaro2.0";

    static QMessageBox::StandardButton critical(QWidget* parent, const QString& text);
    static QMessageBox::StandardButton warning(QWidget* parent, const QString& text);
    // OK and Cancel, no icon; returns the button pressed.
    static QMessageBox::StandardButton okCancel(QWidget* parent, const QString& text);

    // A one-line text prompt with OK and Cancel; the text typed, or nothing
    // on Cancel.
    static std::optional<QString> inputText(QWidget* parent, const QString& prompt,
                                            const QString& title, const QString& defaultText);

    // A file chooser, on top like the boxes: where to save (`suggested`
    // offered) or what to open; nothing when the user cancels.
    enum class FileRole
    {
        Save,
        Open
    };
    static std::optional<QString> fileName(QWidget* parent, FileRole role, const QString& title,
                                           const QString& suggested, const QString& filter);

    // Test hooks: the next box returns `answer` at once without showing.
    static void setNextAnswer(QMessageBox::StandardButton answer);
    // The next prompt returns `answer` at once (nothing: Cancel); its prompt
    // counts as shown.
    static void setNextInput(std::optional<QString> answer);
    // The next file chooser returns `answer` (nothing: Cancel); its title
    // and the name it offered count as shown.
    static void setNextFileName(std::optional<QString> answer);
    static QStringList shownTexts();
    static void clearShownTexts();

private:
    static QMessageBox::StandardButton show(QWidget* parent, QMessageBox::Icon icon,
                                            const QString& text,
                                            QMessageBox::StandardButtons buttons);
};

} // namespace tintaro
