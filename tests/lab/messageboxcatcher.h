#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

// Answers the message boxes a handler opens (they run their own modal loop)
// and remembers what each one said, as a student would read it.
class MessageBoxCatcher : public QObject
{
public:
    struct Message
    {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        int buttonCount = 0;
        QWidget *ownerFocus = nullptr; // the owning window's focus widget while the box is up
    };

    MessageBoxCatcher()
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &MessageBoxCatcher::answer);
        m_timer.start();
    }

    const QList<Message> &messages() const { return m_messages; }

private:
    void answer()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        Message message{box->windowTitle(), box->text(), box->icon(),
                        int(box->buttons().size()),
                        box->parentWidget() ? box->parentWidget()->focusWidget() : nullptr};
        m_messages.append(message);
        box->button(QMessageBox::Ok)->click();
    }

    QTimer m_timer;
    QList<Message> m_messages;
};
