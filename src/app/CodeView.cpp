#include "CodeView.h"

#include "CodeBox.h"
#include "CodeTexts.h"
#include "Fonts.h"
#include "Twips.h"

#include <QLabel>
#include <QPushButton>

namespace tintaro {
namespace {

QLabel* caption(QWidget* parent, const char* name, const QString& text, int l, int t, int w, int h)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(Twips::rect(l, t, w, h));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setFont(Fonts::dialog());
    Fonts::fitCaption(label, text);
    return label;
}

CodeBox* codeBox(QWidget* parent, const char* name, int l, int t, int w, int h)
{
    auto* box = new CodeBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(Twips::rect(l, t, w, h));
    box->setFont(Fonts::dialog());
    return box;
}

} // namespace

CodeView::CodeView(const ColorSetRecord::Colors& scheme, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmcss"));
    setWindowTitle(QString::fromLatin1(kTitle));
    setFont(Fonts::dialog());
    setModal(true);
    setFixedSize(Twips::size(5475, 5415));

    m_label1 = caption(this, "Label1", QStringLiteral("HTML"), 270, 120, 4920, 195);
    m_txthtml = codeBox(this, "txthtml", 277, 300, 4920, 555);
    m_label2 = caption(this, "Label2", QStringLiteral("Inline CSS"), 285, 945, 4920, 240);
    m_txtic = codeBox(this, "txtic", 277, 1140, 4935, 1965);
    m_label3 = caption(this, "Label3", QStringLiteral("External CSS"), 270, 3210, 4920, 240);
    m_txtec = codeBox(this, "txtec", 277, 3420, 4920, 1200);

    m_cmdexit = new QPushButton(QStringLiteral("Exit"), this);
    m_cmdexit->setObjectName(QStringLiteral("cmdexit"));
    m_cmdexit->setGeometry(Twips::rect(2250, 4830, 975, 330));
    m_cmdexit->setFont(Fonts::dialog());
    Fonts::fitCaption(m_cmdexit, m_cmdexit->text());
    m_cmdexit->setDefault(true);
    connect(m_cmdexit, &QPushButton::clicked, this, &CodeView::cmdexit_Click);

    // Exit holds the focus on opening; Tab then visits the HTML, the
    // external and the inline box.
    setTabOrder(m_cmdexit, m_txthtml);
    setTabOrder(m_txthtml, m_txtec);
    setTabOrder(m_txtec, m_txtic);
    m_cmdexit->setFocus();

    Form_Load(scheme);
}

void CodeView::Form_Load(const ColorSetRecord::Colors& scheme)
{
    m_txthtml->setText(CodeTexts::bodyTag(scheme));
    m_txtec->setText(CodeTexts::externalCss(scheme));
    // The style block wraps what the external box shows, read back from it.
    m_txtic->setText(CodeTexts::inlineCss(m_txtec->text()));
}

void CodeView::cmdexit_Click()
{
    accept();
}

} // namespace tintaro
