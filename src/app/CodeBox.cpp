#include "CodeBox.h"

#include <QMimeData>
#include <QTextDocumentFragment>

namespace tintaro {
namespace {

// The document keeps lines apart as blocks; plain text joins them by LF.
QString withCrLf(const QString& lines)
{
    QString text = lines;
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

} // namespace

CodeBox::CodeBox(QWidget* parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    // Read-only, but the keyboard can still move, select and copy.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFocusPolicy(Qt::StrongFocus);
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

void CodeBox::setText(const QString& text)
{
    setPlainText(text);
}

QString CodeBox::text() const
{
    return withCrLf(toPlainText());
}

QMimeData* CodeBox::createMimeDataFromSelection() const
{
    auto* data = new QMimeData;
    data->setText(withCrLf(textCursor().selection().toPlainText()));
    return data;
}

} // namespace tintaro
