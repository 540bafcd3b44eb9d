#pragma once

#include <QPixmap>
#include <QToolButton>

// A button with a picture above its caption, and separate pictures for its
// normal, disabled and pressed states. Pictures are SVG resources.
class PictureButton : public QToolButton
{
    Q_OBJECT
    Q_PROPERTY(QString shownPicture READ shownPicture)

public:
    static constexpr int PictureSize = 32;

    explicit PictureButton(QWidget *parent = nullptr);

    // An SVG resource drawn at the button picture's size.
    static QPixmap picture(const QString &path, qreal devicePixelRatio = 1.0);

    void setPictures(const QString &normal, const QString &disabled, const QString &pressed);

    // The picture the button shows now, from its state.
    QString shownPicture() const;

protected:
    // Enter presses a focused button too, as Space does.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void updateIcon();
    // The picture of the enabled button: the pressed one while it is held down, if it has one.
    QString enabledPicture() const;

    QString m_normal;
    QString m_disabled;
    QString m_pressed;
};
