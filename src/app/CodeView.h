#pragma once

#include "ColorSetRecord.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace tintaro {

class CodeBox;

// "HTML and CSS": the sample page's colours as a body tag, an inline style
// block and an external style sheet, for the user to copy. Filled once when
// made; the caller shows it modally and drops it when it closes, so every
// opening shows the colours of that moment.
class CodeView : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char* kTitle = "HTML and CSS";

    CodeView(const ColorSetRecord::Colors& scheme, QWidget* owner);

public Q_SLOTS:
    void cmdexit_Click();

private:
    void Form_Load(const ColorSetRecord::Colors& scheme);

    QLabel* m_label1;
    CodeBox* m_txthtml;
    QLabel* m_label2;
    CodeBox* m_txtic;
    QLabel* m_label3;
    CodeBox* m_txtec;
    QPushButton* m_cmdexit;
};

} // namespace tintaro
