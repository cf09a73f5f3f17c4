#pragma once

#include <string_view>

namespace korvex {

// What the stereo document needs of the window it lives in.
class DocumentHost {
public:
    enum class ToolbarItem { Glasses, Colorize, Method };

    virtual ~DocumentHost() = default;

    // Whether Shift is held during the command being handled.
    virtual bool isShiftHeld() const = 0;
    // The window's edited mark, the only record of unsaved changes.
    virtual void setDocumentEdited(bool edited) = 0;
    // Shows the named toolbar picture on the item, if the toolbar has placed it.
    virtual void showToolbarPicture(ToolbarItem item, std::string_view pictureName) = 0;
    // A command has changed a setting or the pictures (after any recomposing),
    // so what depends on them (enabled items, check marks) may change too.
    virtual void documentChanged() {}
};

}  // namespace korvex
