#include "AboutBox.h"

#include "Artwork.h"
#include "Fonts.h"
#include "Twips.h"

#include <QLabel>
#include <QPushButton>

namespace tintaro {
namespace {

QLabel* textLabel(QWidget* parent, const char* name, const QString& text, int l, int t, int w, int h)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(Twips::rect(l, t, w, h));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setFont(Fonts::dialog());
    return label;
}

} // namespace

AboutBox::AboutBox(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmabout"));
    setWindowTitle(QStringLiteral("About Tintaro"));
    setWindowIcon(Artwork::windowIcon());
    setFont(Fonts::dialog());
    setModal(true);
    setFixedSize(Twips::size(3960, 2745));

    m_image1 = new QLabel(this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setGeometry(Twips::rect(135, 255, 1080, 1080));
    m_image1->setPixmap(Artwork::emblem(devicePixelRatioF()));

    m_label1 = textLabel(this, "Label1", QStringLiteral("Tintaro2.0"), 1500, 285, 2610, 360);
    m_label2 = textLabel(this, "Label2", QStringLiteral("Made by %1").arg(Artwork::makerName()), 1500,
                         645, 2610, 360);
    m_label4 = textLabel(this, "Label4",
                         QStringLiteral("For more information, please visit: ") + Artwork::homePage(),
                         1500, 1005, 2610, 480);
    m_label5 = textLabel(this, "Label5",
                         QStringLiteral("Any questions and suggestions, please email to: ") +
                             Artwork::emailAddress(),
                         1500, 1485, 2595, 690);

    m_command1 = new QPushButton(QStringLiteral("Ok"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(Twips::rect(1500, 2295, 1050, 375));
    m_command1->setFont(Fonts::dialog());
    m_command1->setDefault(true);
    connect(m_command1, &QPushButton::clicked, this, &AboutBox::Command1_Click);
}

void AboutBox::Command1_Click() { accept(); }

} // namespace tintaro
