#include "picturebox.h"

#include <QPainter>

PictureBox::PictureBox(QWidget *parent)
    : QFrame(parent)
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    // Reachable by keyboard, so a screen reader can announce the picture.
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Charge picture"));
    setAccessibleDescription(QStringLiteral("No charge yet: begin a run."));
}

void PictureBox::setPicture(const wmf::Picture &picture, const QString &name, const QString &description)
{
    m_picture = picture;
    m_pictureName = name;
    setAccessibleDescription(description);
    setToolTip(description);
    update();
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (!m_picture)
        return;
    QPainter painter(this);
    painter.setClipRect(contentsRect());
    m_picture->render(painter, QRectF(contentsRect()));
}
