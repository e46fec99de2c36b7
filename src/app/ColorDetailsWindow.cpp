#include "ColorDetailsWindow.h"

#include "CssNames.h"
#include "SwatchLabel.h"
#include "Twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tintaro {
namespace {

// Geometry in twips: the colour at the top, then a row a form: its caption,
// its text and its Copy button.
constexpr int kMargin = 120;
constexpr int kSwatchHeight = 600;
constexpr int kFirstRowTop = kMargin + kSwatchHeight + 180;
constexpr int kRowHeight = 375;
constexpr int kCaptionWidth = 1500;
constexpr int kFieldLeft = kMargin + kCaptionWidth;
constexpr int kFieldWidth = 4500;
constexpr int kCopyLeft = kFieldLeft + kFieldWidth + 90;
constexpr int kCopyWidth = 900;
constexpr int kWidth = kCopyLeft + kCopyWidth + kMargin;
constexpr int kHeight = kFirstRowTop + ColorDetailsWindow::kFormCount * kRowHeight + kMargin;

const char* const kCaptions[ColorDetailsWindow::kFormCount] = {
    "Hex",   "Short hex", "rgb()",   "rgb(), legacy", "hsl()",       "hwb()",
    "lab()", "lch()",     "oklab()", "oklch()",       "color(srgb)", "Name"};

} // namespace

// A dialog's type ties it to the main window, as the contrast check is.
ColorDetailsWindow::ColorDetailsWindow(QWidget* owner) : QWidget(owner, Qt::Dialog)
{
    setObjectName(QStringLiteral("frmdetails"));
    setWindowTitle(QString::fromLatin1(kTitle));
    setFixedSize(Twips::size(kWidth, kHeight));

    m_swatch = new SwatchLabel(this);
    m_swatch->setObjectName(QStringLiteral("lbldetailscolor"));
    m_swatch->setFrameShape(QFrame::Box);
    m_swatch->setGeometry(Twips::rect(kMargin, kMargin, kWidth - 2 * kMargin, kSwatchHeight));

    for (int i = 0; i < kFormCount; ++i) {
        const int top = kFirstRowTop + i * kRowHeight;
        auto* caption = new QLabel(QString::fromLatin1(kCaptions[i]), this);
        caption->setGeometry(Twips::rect(kMargin, top, kCaptionWidth, kRowHeight - 60));
        auto* field = new QLineEdit(this);
        field->setObjectName(QStringLiteral("txtform%1").arg(i));
        field->setReadOnly(true);
        field->setGeometry(Twips::rect(kFieldLeft, top, kFieldWidth, kRowHeight - 60));
        caption->setBuddy(field);
        auto* copy = new QPushButton(QStringLiteral("Copy"), this);
        copy->setObjectName(QStringLiteral("cmdcopy%1").arg(i));
        copy->setGeometry(Twips::rect(kCopyLeft, top, kCopyWidth, kRowHeight - 60));
        connect(copy, &QPushButton::clicked, this, [this, i] {
            Q_EMIT copyRequested(i == int(CssForm::Name) ? m_nameToCopy
                                                         : m_fields[std::size_t(i)]->text());
        });
        m_fields[std::size_t(i)] = field;
        m_copy[std::size_t(i)] = copy;
    }
    m_fields[std::size_t(CssForm::ShortHex)]->setPlaceholderText(
        QStringLiteral("none: not exact in three digits"));
}

// Pointer movements come in bursts: the forms follow once a turn of the
// event loop, as the window's painting does, not once a movement.
void ColorDetailsWindow::setColor(ColorValue c)
{
    m_color = c;
    if (isVisible() && !m_refreshQueued) {
        m_refreshQueued = true;
        QMetaObject::invokeMethod(this, &ColorDetailsWindow::refresh, Qt::QueuedConnection);
    }
}

void ColorDetailsWindow::showEvent(QShowEvent* event)
{
    refresh();
    QWidget::showEvent(event);
}

void ColorDetailsWindow::refresh()
{
    m_refreshQueued = false;
    m_swatch->setBackColor(toQColor(m_color));
    std::array<QString, kFormCount> texts;
    for (const CssFormText& f : cssTexts(m_color))
        texts[std::size_t(f.form)] = f.text;
    // Not an exact name: the nearest, marked as such, with how far it is.
    const NearestName nearest = nearestName(m_color);
    m_nameToCopy = nearest.name;
    texts[std::size_t(CssForm::Name)] =
        nearestNameText(m_color).replace(QLatin1String("deltaE"), QStringLiteral("ΔE"));
    // Neighbouring pixels share most forms: a field already showing its
    // text is left alone, which keeps a pointer movement cheap.
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (m_fields[i]->text() != texts[i]) {
            m_fields[i]->setText(texts[i]);
            m_fields[i]->setCursorPosition(0);
        }
        m_copy[i]->setEnabled(!texts[i].isEmpty());
    }
}

QStringList ColorDetailsWindow::texts() const
{
    QStringList shown;
    for (const QLineEdit* field : m_fields)
        shown << field->text();
    return shown;
}

} // namespace tintaro
