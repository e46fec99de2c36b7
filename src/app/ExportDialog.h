#pragma once

#include "ExportSource.h"
#include "PaletteExport.h"

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QPushButton;
class QRadioButton;

namespace tintaro {

// "Export colours": which colours (the user's palette, newest first or in
// file order; the web-safe palette; every saved colour set), in which
// format, then where. The file is written in one step; the dialog closes
// once it is, and says why where it is not.
class ExportDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char* kTitle = "Export colours";

    explicit ExportDialog(QWidget* owner);

public Q_SLOTS:
    void cmdexport_Click();

private:
    enum Source
    {
        UserColours,
        WebSafeColours,
        ColourSets
    };
    bool addChosenColours(std::vector<ColorGroup>& groups, QString* error) const;
    QString suggestedName(ExportFormat format) const;

    QButtonGroup* m_source = nullptr;
    QRadioButton* m_newest = nullptr;
    QRadioButton* m_oldest = nullptr;
    QComboBox* m_format = nullptr;
    QPushButton* m_export = nullptr;
    QPushButton* m_close = nullptr;
};

} // namespace tintaro
