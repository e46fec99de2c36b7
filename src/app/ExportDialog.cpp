#include "ExportDialog.h"

#include "Fonts.h"
#include "MessageBoxes.h"
#include "Twips.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>

namespace tintaro {
namespace {

struct FormatEntry
{
    ExportFormat format;
    const char* caption;
};

const FormatEntry kFormats[] = {
    {ExportFormat::Gpl, "GIMP palette (.gpl)"},
    {ExportFormat::Css, "CSS custom properties (.css)"},
    {ExportFormat::Scss, "SCSS variables (.scss)"},
    {ExportFormat::Tokens, "Design tokens, JSON (.tokens.json)"},
    {ExportFormat::Ase, "Adobe Swatch Exchange (.ase)"},
    {ExportFormat::HexList, "List of #RRGGBB (.txt)"},
};

// The folder of the last export while the program runs; the user's
// documents at first. Never the program's data folder, whose files it
// reads as its own.
QString& lastFolder()
{
    static QString folder = [] {
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        return QFileInfo(documents).isDir() ? documents : QDir::homePath();
    }();
    return folder;
}

QRadioButton* option(QWidget* parent, const char* name, const QString& text, int l, int t, int w)
{
    auto* button = new QRadioButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(Twips::rect(l, t, w, 300));
    return button;
}

} // namespace

ExportDialog::ExportDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmexport"));
    setWindowTitle(QString::fromLatin1(kTitle));
    setFont(Fonts::dialog());
    setModal(true);
    setFixedSize(Twips::size(5400, 3480));

    auto* which = new QLabel(QStringLiteral("Colours:"), this);
    which->setGeometry(Twips::rect(180, 150, 5000, 270));
    m_source = new QButtonGroup(this);
    m_source->addButton(option(this, "optexpuser", QStringLiteral("My colours"), 300, 450, 4900),
                        UserColours);
    m_newest = option(this, "optnewest", QStringLiteral("Newest first, as the palette shows them"),
                      660, 780, 4560);
    m_oldest =
        option(this, "optoldest", QStringLiteral("Oldest first, in file order"), 660, 1080, 4560);
    m_source->addButton(
        option(this, "optexpwebsafe", QStringLiteral("Web-safe colours"), 300, 1410, 4900),
        WebSafeColours);
    m_source->addButton(
        option(this, "optexpsets", QStringLiteral("Saved colour sets"), 300, 1740, 4900),
        ColourSets);
    // The order is a choice of its own, within "My colours".
    auto* order = new QButtonGroup(this);
    order->addButton(m_newest);
    order->addButton(m_oldest);
    m_source->button(UserColours)->setChecked(true);
    m_newest->setChecked(true);
    connect(m_source, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (id == UserColours) {
            m_newest->setEnabled(on);
            m_oldest->setEnabled(on);
        }
    });

    auto* formatCaption = new QLabel(QStringLiteral("Format:"), this);
    formatCaption->setGeometry(Twips::rect(180, 2205, 900, 270));
    m_format = new QComboBox(this);
    m_format->setObjectName(QStringLiteral("cboformat"));
    m_format->setGeometry(Twips::rect(1080, 2160, 4140, 360));
    for (const FormatEntry& entry : kFormats)
        m_format->addItem(QString::fromLatin1(entry.caption));
    formatCaption->setBuddy(m_format);

    m_export = new QPushButton(QStringLiteral("Export..."), this);
    m_export->setObjectName(QStringLiteral("cmdexport"));
    m_export->setGeometry(Twips::rect(2160, 2850, 1425, 390));
    m_export->setDefault(true);
    connect(m_export, &QPushButton::clicked, this, &ExportDialog::cmdexport_Click);
    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setObjectName(QStringLiteral("cmdexportclose"));
    m_close->setGeometry(Twips::rect(3780, 2850, 1425, 390));
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    m_export->setFocus();
}

bool ExportDialog::addChosenColours(std::vector<ColorGroup>& groups, QString* error) const
{
    switch (m_source->checkedId()) {
    case UserColours:
        return ExportSource::addUserPalette(groups,
                                            m_oldest->isChecked()
                                                ? ExportSource::Order::FileOrder
                                                : ExportSource::Order::NewestFirst,
                                            error);
    case WebSafeColours:
        return ExportSource::addWebSafePalette(groups, error);
    default:
        return ExportSource::addColourSets(groups, error);
    }
}

QString ExportDialog::suggestedName(ExportFormat format) const
{
    const char* base = m_source->checkedId() == UserColours      ? "my-colours"
                       : m_source->checkedId() == WebSafeColours ? "web-safe-colours"
                                                                 : "colour-sets";
    return QDir(lastFolder())
        .filePath(QString::fromLatin1(base) + QLatin1Char('.') + PaletteExport::fileSuffix(format));
}

void ExportDialog::cmdexport_Click()
{
    const FormatEntry& entry = kFormats[std::max(0, m_format->currentIndex())];
    const QString filter = QString::fromLatin1(entry.caption).section(QLatin1String(" ("), 0, 0) +
                           QStringLiteral(" (*.") + PaletteExport::fileSuffix(entry.format) +
                           QLatin1Char(')');
    const std::optional<QString> path =
        MessageBoxes::fileName(this, MessageBoxes::FileRole::Save, QString::fromLatin1(kTitle),
                               suggestedName(entry.format), filter);
    if (!path)
        return; // cancelled: the choices stay for another try
    std::vector<ColorGroup> groups;
    QString error;
    if (!addChosenColours(groups, &error)) {
        MessageBoxes::warning(this,
                              QStringLiteral("The colours could not be exported: %1.").arg(error));
        return;
    }
    if (!PaletteExport::writeExport(*path, PaletteExport::exportGroups(groups, entry.format),
                                    &error)) {
        MessageBoxes::warning(this, error); // it names the file and the reason
        return;
    }
    lastFolder() = QFileInfo(*path).absolutePath();
    accept();
}

} // namespace tintaro
