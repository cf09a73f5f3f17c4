#pragma once

#include "core/compose/DocumentHost.h"

namespace korvex {

// The document's host when there is no window: no keyboard, no edited mark,
// no toolbar.
class HeadlessHost : public DocumentHost {
public:
    bool isShiftHeld() const override;
    void setDocumentEdited(bool edited) override;
    void showToolbarPicture(ToolbarItem item, std::string_view pictureName) override;
};

}  // namespace korvex
