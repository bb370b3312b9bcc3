#pragma once

#include "wmfpicture.h"

#include <QFrame>

#include <optional>

// Shows a charge picture: a metafile parsed once when it is loaded and drawn
// as vectors on every paint, fitted into the box with its aspect ratio kept
// and centred, so it stays crisp at any device pixel ratio.
class PictureBox : public QFrame
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);

    // name: the file the picture came from; description: what it shows, in
    // words, for screen readers and the tool tip.
    void setPicture(const wmf::Picture &picture, const QString &name, const QString &description);
    bool hasPicture() const { return m_picture.has_value(); }
    const QString &pictureName() const { return m_pictureName; }
    const std::optional<wmf::Picture> &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::optional<wmf::Picture> m_picture;
    QString m_pictureName;
};
