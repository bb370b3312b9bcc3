#pragma once

#include "experimentlayout.h"

#include <QDialog>

#include <array>

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class PictureBox;

// The controls of an experiment window, laid out in twips: three entry
// boxes `txt(0..2)`, the run, menu and microprobe buttons, the fixed-pitch
// report box `Text1` and the picture box `Picture1`. It holds no run state:
// the window is destroyed whenever it is unloaded, and its ExperimentForm
// keeps what must survive.
class ExperimentWindow : public QDialog
{
    Q_OBJECT

public:
    explicit ExperimentWindow(const ExperimentLayout &layout, QWidget *parent = nullptr);

    QLineEdit *txt(int index) const { return m_txt.at(index); }
    QPushButton *command1() const { return m_command1; }
    QPushButton *command2() const { return m_command2; }
    QPushButton *command3() const { return m_command3; }
    QPlainTextEdit *text1() const { return m_text1; }
    PictureBox *picture1() const { return m_picture1; }

    // Esc and the close box both act as the menu button.
    void reject() override;

private:
    QLabel *addLabel(const char *name, const QString &caption, const QRect &twips);
    QRect place(const QRect &twips) const;

    qreal m_dotsPerInch;
    std::array<QLineEdit *, 3> m_txt{};
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
    QPushButton *m_command3 = nullptr;
    QPlainTextEdit *m_text1 = nullptr;
    PictureBox *m_picture1 = nullptr;
};
