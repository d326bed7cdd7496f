#pragma once

#include <QRect>

namespace kavo::ui {

// The layout is designed in twips; 15 of them make one logical pixel.
constexpr int px(int twips) {
    return (twips + 7) / 15;
}

constexpr QRect twipRect(int left, int top, int width, int height) {
    return {px(left), px(top), px(width), px(height)};
}

} // namespace kavo::ui
