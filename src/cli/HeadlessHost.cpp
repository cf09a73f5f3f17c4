#include "cli/HeadlessHost.h"

namespace korvex {

bool HeadlessHost::isShiftHeld() const
{
    return false;
}

void HeadlessHost::setDocumentEdited(bool)
{
}

void HeadlessHost::showToolbarPicture(ToolbarItem, std::string_view)
{
}

}  // namespace korvex
