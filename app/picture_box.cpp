#include "app/picture_box.h"

#include <QMouseEvent>
#include <QPixmap>

#include "ui/twips.h"

namespace {

int ShiftState(Qt::KeyboardModifiers modifiers) {
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) |
           (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) |
           (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

// Qt's left, right and middle buttons carry the same numbers 1, 2 and 4.
int ButtonNumber(Qt::MouseButton button) {
    return static_cast<int>(button) & 7;
}

float TwipsOf(qreal pixels) {
    return static_cast<float>(pixels * 15.0);
}

}  // namespace

PictureBox::PictureBox(const char* name, const QString& picture, QRect twipsRect, QWidget* parent)
    : QLabel(parent) {
    ui::Placed(this, name, twipsRect);
    setPixmap(QPixmap(picture));
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    emit MouseDown(ButtonNumber(event->button()), ShiftState(event->modifiers()), TwipsOf(at.x()),
                   TwipsOf(at.y()));
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    emit MouseUp(ButtonNumber(event->button()), ShiftState(event->modifiers()), TwipsOf(at.x()),
                 TwipsOf(at.y()));
}
