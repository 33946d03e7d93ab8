#pragma once
// The rules by which skin elements draw and react, free of the platform.
#include <cstdint>

#include "skin/skin_format.h"

namespace lumetra {

// The six state pictures of a button, in the order they are cut.
enum class ButtonPicture { Normal, Over, On, Blink, Down, Disabled };

struct ButtonVisualState {
    bool enabled = true;
    bool radio = false;
    bool pressed = false;
    int onState = 0;  // 0 off, 1 on, 2 blink phase
    bool hover = false;
};
ButtonPicture ChooseButtonPicture(const ButtonVisualState& s);

// Progress value 0..100 for a point in an element of the given client size.
int ProgressValueFromPoint(bool horizontal, int x, int y, int width, int height);
// The part of the element the fill picture covers for a value (its source is the same rectangle).
SkinRect ProgressFillRect(bool horizontal, int value, int width, int height);
// A value set by the program: above 100 shows full, below 0 empty.
int ClampProgressValue(int value);

// Where a thumb picture sits: centred on the platform trackbar's own thumb rectangle, across the
// full breadth from 0 on the other axis, never above or left of 0.
SkinRect ThumbPictureRect(bool horizontal, const SkinRect& platformThumb, int pictureWidth, int pictureHeight);

// The scroll state of a text element that is wider than its element.
class TextScroll {
public:
    static constexpr int kStartPause = 20;  // ticks of 100 ms at the start of every pass
    static constexpr int kClickPause = 10;  // after a click

    // A new text: scrolling when wider than the element; the display text then carries " ... ".
    void SetText(int textWidth, int clientWidth);
    void SetDisplayWidth(int width) { displayWidth_ = width; }
    // One timer tick: count the pause down, else advance one pixel. Returns whether to repaint.
    bool Tick();
    void Click();
    // Called before drawing: a pass that has run through restarts with the start pause.
    void BeforePaint();

    bool Scrolling() const { return scrolling_; }
    int Offset() const { return offset_; }
    int Pause() const { return pause_; }
    int DisplayWidth() const { return displayWidth_; }

private:
    bool scrolling_ = false;
    int offset_ = 0;
    int pause_ = kStartPause;
    int displayWidth_ = 0;
};

}  // namespace lumetra
