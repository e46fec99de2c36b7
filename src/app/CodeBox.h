#pragma once

#include <QPlainTextEdit>

namespace tintaro {

// A read-only, multi-line box of code for the user to select and copy. It
// holds its text as lines, the way any text box does, and gives it back with
// CR LF between lines, the line end the code was written with: text() and
// everything copied from it (keys, menu, mouse selection) use CR LF.
class CodeBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit CodeBox(QWidget* parent = nullptr);

    // Lines may end in CR LF, LF or CR; each becomes one line of the box.
    void setText(const QString& text);
    // The lines joined by CR LF, nothing after the last.
    QString text() const;

protected:
    QMimeData* createMimeDataFromSelection() const override;
};

} // namespace tintaro
