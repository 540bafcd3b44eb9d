#pragma once

#include <QPixmap>
#include <QToolButton>

// A button with a picture above its caption, and separate pictures for its
// normal, disabled and pressed states. Pictures are SVG resources.
class PictureButton : public QToolButton
{
    Q_OBJECT

public:
    static constexpr int PictureSize = 32;

    explicit PictureButton(QWidget *parent = nullptr);

    // An SVG resource drawn at the button picture's size.
    static QPixmap picture(const QString &path, qreal devicePixelRatio = 1.0);

    void setPictures(const QString &normal, const QString &disabled, const QString &pressed);

    QString normalPicture() const { return m_normal; }
    // The picture the button shows now, from its state.
    QString shownPicture() const;

protected:
    // Enter presses a focused button too, as Space does.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void updateIcon();

    QString m_normal;
    QString m_disabled;
    QString m_pressed;
};
