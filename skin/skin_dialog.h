#pragma once
// The skinned window: a borderless dialog shaped and painted by the skin, holding its elements.
#include <string>
#include <vector>

#include "framework/dialog.h"

namespace lumetra {

class SkinDialog : public Dialog {
public:
    explicit SkinDialog(int templateId) : Dialog(templateId) {}

    int ViewCount() const { return static_cast<int>(viewFiles_.size()); }
    int CurrentView() const { return currentView_; }

protected:
    // Discards all elements and loads the skin; failures show their messages.
    BOOL OnInitDialog() override;
    virtual void LoadSkin();

    std::vector<std::string> viewFiles_;
    std::vector<std::string> viewTitles_;
    int currentView_ = 0;
};

}  // namespace lumetra
