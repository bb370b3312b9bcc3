#pragma once

#include "experimentlayout.h"

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class PictureBox;
namespace wmf {
class Picture;
}

// The controls of an experiment window, laid out in twips: three entry
// boxes `txt(0..2)`, the run, menu and microprobe buttons, the fixed-pitch
// report box `Text1` and the picture box `Picture1`. It holds no run state:
// the window is destroyed whenever it is unloaded, and its ExperimentForm
// keeps what must survive. The form talks to it in what a student sees and
// does: the entries' texts, a picture, a report, and the three buttons.
class ExperimentWindow : public QDialog
{
    Q_OBJECT

public:
    static constexpr int entryCount = 3;
    using EntryTexts = std::array<QString, entryCount>;

    ExperimentWindow(const ExperimentLayout &layout, const QString &title, QWidget *parent = nullptr);

    EntryTexts entryTexts() const;
    void focusEntry(int index);
    void clearEntry(int index);
    // name: the file the picture came from; description: what it shows, in
    // words, for screen readers and the tool tip.
    void showPicture(const wmf::Picture &picture, const QString &name, const QString &description);
    // The whole report; its CR LF line ends become the box's line breaks.
    void showReport(const QString &report);

    // Esc and the close box both act as the menu button.
    void reject() override;

    // A button besides the window's own three, for what an experiment
    // offers beyond the lab's (a system's "Cool..."), placed in twips.
    QPushButton *addExtraButton(const char *name, const QString &caption, const QRect &twips);

signals:
    void runRequested();   // "Begin the Run"
    void menuRequested();  // "Menu", Esc, the close box
    void probeRequested(); // "Microprobe the Phases"

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Txt_GotFocus(int index);
    QLabel *addLabel(const char *name, const QString &caption, const QRect &twips);
    QPushButton *addButton(const char *name, const QString &caption, const QRect &twips);
    QRect place(const QRect &twips) const;

    qreal m_dotsPerInch;
    std::array<QLineEdit *, entryCount> m_txt{};
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
    QPushButton *m_command3 = nullptr;
    QPlainTextEdit *m_text1 = nullptr;
    PictureBox *m_picture1 = nullptr;
};
