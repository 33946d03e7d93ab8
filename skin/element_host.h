#pragma once
// What a skin element reports to the window that holds it.
#include <windows.h>

#include <string>

namespace lumetra {

// What the program wants of an element (enabled, shown), kept apart from which view is on screen.
struct ElementPresence {
    bool wantEnabled = true;
    bool wantShown = true;
};

class SkinElementHost {
public:
    // A press (pressed true) or release inside a button; returns whether the button's own
    // on/off and radio logic may run.
    virtual bool ButtonRelay(int buttonIndex, bool pressed) = 0;
    virtual void TrackbarRelay(int trackbarIndex, int code, int position) = 0;
    virtual void TextRelay(int textIndex) = 0;
    // The pointer moved over an element that is not being dragged (an empty name: the background).
    virtual void HoverHook(const std::string& name, POINT point, UINT keys) = 0;
    virtual void ProgressPositionHook(const std::string& name, int position) = 0;
    virtual void ProgressReleaseHook(const std::string& name) = 0;
    // A radio button was switched on by a click: the rest of its group goes off.
    virtual void ApplyRadioRule(int group, int selectedOrdinal) = 0;

protected:
    ~SkinElementHost() = default;
};

}  // namespace lumetra
