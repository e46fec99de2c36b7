#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tintaro {

// Names the program and its maker; modal, centred on the main window.
class AboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit AboutBox(QWidget* owner);

public Q_SLOTS:
    void Command1_Click();

private:
    QLabel* m_image1;
    QLabel* m_label1;
    QLabel* m_label2;
    QLabel* m_label4;
    QLabel* m_label5;
    QPushButton* m_command1;
};

} // namespace tintaro
