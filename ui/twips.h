// Window layouts are given in twips: 15 twips are one pixel at 96 dots per inch. Qt scales the
// pixels for high-density screens.
#pragma once

#include <QFont>
#include <QRect>
#include <QWidget>

namespace ui {

constexpr int Px(int twips) {
    return twips / 15;
}

// A control's place from its left, top, width and height in twips.
constexpr QRect TwipsRect(int left, int top, int width, int height) {
    return {Px(left), Px(top), Px(width), Px(height)};
}

// The small sans-serif face the layouts were drawn for, 8.25 points; on Linux, the face with
// Arial's metrics, since wider faces would cut the labels off.
inline QFont DialogFont() {
    QFont font;
    font.setFamilies({"MS Sans Serif", "Arial", "Liberation Sans"});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    return font;
}

// `widget` named `name` (its object name, so tests find it) at its place in twips.
template <typename Widget>
Widget* Placed(Widget* widget, const char* name, QRect twipsRect) {
    widget->setObjectName(name);
    widget->setGeometry(twipsRect);
    return widget;
}

}  // namespace ui
