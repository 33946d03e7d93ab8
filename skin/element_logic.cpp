#include "skin/element_logic.h"

namespace lumetra {

ButtonPicture ChooseButtonPicture(const ButtonVisualState& s) {
    if (!s.enabled) return ButtonPicture::Disabled;
    if (s.pressed) return ButtonPicture::Down;
    if (s.radio) {
        if (s.onState != 0) return ButtonPicture::On;
        return s.hover ? ButtonPicture::Over : ButtonPicture::Normal;
    }
    if (s.onState == 1) return ButtonPicture::On;
    if (s.onState == 2) return ButtonPicture::Blink;
    return s.hover ? ButtonPicture::Over : ButtonPicture::Normal;
}

int ClampProgressValue(int value) {
    return value > 100 ? 100 : value < 0 ? 0 : value;
}

int ProgressValueFromPoint(bool horizontal, int x, int y, int width, int height) {
    long long value = 0;
    if (horizontal) {
        if (width <= 0) return 0;
        value = static_cast<long long>(x) * 100 / width;
    } else {
        if (height <= 0) return 0;
        value = (static_cast<long long>(height) - y) * 100 / height;
    }
    // While dragging with the mouse captured the point may lie outside the element.
    return value > 100 ? 100 : value < 0 ? 0 : static_cast<int>(value);
}

SkinRect ProgressFillRect(bool horizontal, int value, int width, int height) {
    value = ClampProgressValue(value);
    // In 64 bits: value x side overflows an int for a side above 21 million pixels.
    if (horizontal) return {0, 0, static_cast<int>(static_cast<int64_t>(value) * width / 100), height};
    int top = static_cast<int>(static_cast<int64_t>(100 - value) * height / 100);
    return {0, top, width, height};
}

SkinRect ThumbPictureRect(bool horizontal, const SkinRect& t, int pictureWidth, int pictureHeight) {
    if (horizontal) {
        int left = (t.left + t.right) / 2 - pictureWidth / 2;
        if (left < 0) left = 0;
        return {left, 0, left + pictureWidth, pictureHeight};
    }
    int top = (t.top + t.bottom) / 2 - pictureHeight / 2;
    if (top < 0) top = 0;
    return {0, top, pictureWidth, top + pictureHeight};
}

void TextScroll::SetText(int textWidth, int clientWidth) {
    scrolling_ = textWidth > clientWidth;
    displayWidth_ = textWidth;
    offset_ = 0;
}

bool TextScroll::Tick() {
    if (!scrolling_) return false;
    if (pause_ > 0) {
        --pause_;
        return false;
    }
    ++offset_;
    return true;
}

void TextScroll::Click() {
    offset_ = 0;
    pause_ = kClickPause;
}

void TextScroll::BeforePaint() {
    if (offset_ > displayWidth_) {
        offset_ = 0;
        pause_ = kStartPause;
    }
}

}  // namespace lumetra
