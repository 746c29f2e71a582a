// A picture that reports mouse presses and releases as the handlers expect them: the button
// (1 left, 2 right, 4 middle), the shift state (1 Shift, 2 Ctrl, 4 Alt) and the position in
// twips. A release goes to the picture on which the press began, wherever the pointer is then.
#pragma once

#include <QLabel>

class PictureBox : public QLabel {
    Q_OBJECT

public:
    PictureBox(const char* name, const QString& picture, QRect twipsRect, QWidget* parent);

signals:
    void MouseDown(int Button, int Shift, float X, float Y);
    void MouseUp(int Button, int Shift, float X, float Y);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
