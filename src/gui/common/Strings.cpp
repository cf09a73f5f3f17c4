#include "gui/common/Strings.h"

#include <map>

namespace korvex {

namespace {

const std::map<std::string_view, const char*, std::less<>>& englishTable()
{
    static const std::map<std::string_view, const char*, std::less<>> table = {
        // Tabs of the document window.
        {"TabLeft", "Left"},
        {"TabRight", "Right"},
        {"TabResult", "Result"},
        {"Untitled", "Untitled"},
        {"UntitledNumbered", "Untitled %1"},

        // Closing and quitting.
        {"CloseSave", "Do you want to save the changes to this anaglyph?"},
        {"Save", "Save"},
        {"DontSave", "Don't Save"},
        {"Cancel", "Cancel"},
        {"SaveDataLoss", "Your changes will be lost if you don't save them."},
        {"QuitUnsaved", "You have %1 anaglyph documents with unsaved changes. Do you want to review them before quitting?"},
        {"QuitDataLoss", "If you don't review your documents, all your changes will be lost."},
        {"Review", "Review Changes..."},
        {"Discard", "Discard Changes"},

        // Toolbar labels and tool tips.
        {"OpenL", "Open Left"},
        {"TBOpenL", "Open the left picture, or a stereo file for both"},
        {"OpenR", "Open Right"},
        {"TBOpenR", "Open the right picture, or a stereo file for both"},
        {"TBSave", "Save the anaglyph"},
        {"Reset", "Reset"},
        {"TBReset", "Set the depth and the vertical offset back to 0"},
        {"IncDepth", "Bigger"},
        {"TBIncDepth", "More depth: move the right picture to the right (Shift: 5 pixels)"},
        {"DecDepth", "Smaller"},
        {"TBDecDepth", "Less depth: move the right picture to the left (Shift: 5 pixels)"},
        {"IncVOff", "Up"},
        {"TBIncVOff", "Move the left picture up against the right one (Shift: 5 pixels)"},
        {"DecVOff", "Down"},
        {"TBDecVOff", "Move the left picture down against the right one (Shift: 5 pixels)"},
        {"Glasses", "Glasses"},
        {"TBGlasses", "Switch to the next kind of glasses"},
        {"Color", "Color"},
        {"TBColor", "Switch between colour and black and white"},
        {"Method", "Method"},
        {"TBMethod", "Switch to the next anaglyph method"},
        {"Swap", "Swap"},
        {"TBSwap", "Swap the left and the right picture"},
        {"AutoAlign", "Align"},
        {"TBAutoAlign", "Align the pictures: turn, scale and shift the right one, put the nearest part at the screen"},
        {"Print", "Print"},
        {"Customize", "Customize"},
        {"TBPrint", "Print the picture of the selected tab"},
        {"TBCustomize", "Choose the items of this toolbar and their order"},
        {"ToolbarTitle", "Toolbar"},
        {"FlexibleSpace", "Flexible Space"},
        {"Space", "Space"},
        {"Separator", "Separator"},

        // Customising the toolbar.
        {"CustomizeToolbar", "Customize Toolbar\u2026"},
        {"CustomizeTitle", "Customize Toolbar"},
        {"AvailableItems", "Items you can add"},
        {"ToolbarItems", "Items in the toolbar, from left to right"},
        {"AddItem", "Add \u2192"},
        {"RemoveItem", "\u2190 Remove"},
        {"MoveUp", "Move Up"},
        {"MoveDown", "Move Down"},
        {"RestoreDefaults", "Restore Default Set"},
        {"CustomizeHint", "Drag items in the list on the right to reorder them. The arrangement is used by every document window."},

        // Opening and saving.
        {"OpenPictures", "Open Pictures"},
        {"PictureFilter", "Pictures and stereo files (%1)"},
        {"AllFiles", "All files (*)"},
        {"SaveAnaglyph", "Save Anaglyph"},
        {"SaveTypeFilter", "%1 picture (%2)"},
        {"CannotOpen", "Cannot open \u201c%1\u201d: %2"},
        {"OpenedWithWarning", "\u201c%1\u201d: %2"},
        {"CannotSave", "The anaglyph could not be saved as \u201c%1\u201d."},
        {"NoResultToSave", "There is no anaglyph to save yet: open a left and a right picture that overlap."},
        {"NoOverlap", "The pictures do not overlap at these offsets: press Reset or change the depth."},
        {"Saved", "Saved \u201c%1\u201d"},
        {"Printed", "Printed \u201c%1\u201d"},
        {"DroppedPicture", "The dropped picture"},
        {"DropHintLeft", "Drop to open it as the left picture"},
        {"DropHintPair", "Drop to open the left and the right picture"},
        {"DropWebRefused", "Pictures from the web cannot be dropped here: save the picture to a file first, then drop the file."},

        // The status bar's readout.
        {"Readout", "Depth %1 px \u00b7 Vertical %2 px \u00b7 %3 %4 \u00b7 %5"},
        {"ReadoutGlassesRG", "Red\u2013Green"},
        {"ReadoutGlassesRC", "Red\u2013Cyan"},
        {"ReadoutGlassesRB", "Red\u2013Blue"},
        {"ReadoutGlassesGR", "Green\u2013Red"},
        {"ReadoutGlassesCR", "Cyan\u2013Red"},
        {"ReadoutGlassesBR", "Blue\u2013Red"},
        {"ReadoutColour", "colour"},
        {"ReadoutBlackWhite", "black and white"},
        {"ReadoutSize", "%1 \u00d7 %2"},
        {"ReadoutNoResult", "no anaglyph yet"},
        {"ReadoutNoOverlap", "no overlap"},

        // Names and descriptions for assistive technology.
        {"AccLeftPicture", "Left picture"},
        {"AccRightPicture", "Right picture"},
        {"AccAnaglyph", "Anaglyph"},
        {"AccPictures", "Pictures"},
        {"AccPictureHint", "Click to set the pin point that the anaglyph lays over the other picture's"},
        {"AccResultHint", "The anaglyph of the left and the right picture"},
        {"AccReadout", "Alignment"},
        {"AccZoom", "Zoom"},

        // Menus.
        {"MenuFileTitle", "&File"},
        {"MenuStereoTitle", "&Stereo"},
        {"MenuViewTitle", "&View"},
        {"MenuHelpTitle", "&Help"},
        {"MenuNew", "&New"},
        {"MenuOpen", "&Open..."},
        {"MenuOpenLeft", "Open &Left..."},
        {"MenuOpenRight", "Open &Right..."},
        {"MenuSave", "&Save"},
        {"MenuSaveAs", "Save &As..."},
        {"MenuPrint", "&Print..."},
        {"MenuClose", "&Close"},
        {"MenuQuit", "&Quit"},
        {"MenuGlassesRG", "Red \u2013 Green Glasses"},
        {"MenuGlassesRC", "Red \u2013 Cyan Glasses"},
        {"MenuGlassesRB", "Red \u2013 Blue Glasses"},
        {"MenuGlassesGR", "Green \u2013 Red Glasses"},
        {"MenuGlassesCR", "Cyan \u2013 Red Glasses"},
        {"MenuGlassesBR", "Blue \u2013 Red Glasses"},
        {"MenuGlassesAB", "Amber \u2013 Blue Glasses"},
        {"MenuGlassesBA", "Blue \u2013 Amber Glasses"},
        {"MenuGlassesGM", "Green \u2013 Magenta Glasses"},
        {"MenuGlassesMG", "Magenta \u2013 Green Glasses"},
        {"MenuMethodTitle", "&Method"},
        {"MenuMethodClassic", "C&lassic"},
        {"MenuMethodGrey", "&Grey"},
        {"MenuMethodHalfColour", "&Half Colour"},
        {"MenuMethodColour", "Co&lour"},
        {"MenuMethodDubois", "&Dubois"},
        {"MenuMethodCustom", "C&ustom Mixing"},
        {"MenuColourMixing", "Colour &Mixing\u2026"},
        {"MixingPreset", "Start from"},
        {"MixingPresetCurrent", "The current mixing"},
        {"MixingLeft", "Left picture, in thousandths"},
        {"MixingRight", "Right picture, in thousandths"},
        {"MixingRed", "red"},
        {"MixingGreen", "green"},
        {"MixingBlue", "blue"},
        {"MixingInto", "into %1"},
        {"MixingBoxName", "%1: %3 into %2"},
        {"MenuColor", "&Colour"},
        {"MenuIncDepth", "More &Depth"},
        {"MenuDecDepth", "&Less Depth"},
        {"MenuIncVOff", "Left Picture &Up"},
        {"MenuDecVOff", "Left Picture Do&wn"},
        {"MenuReset", "&Reset Alignment"},
        {"MenuSwap", "S&wap Pictures"},
        {"MenuAutoAlign", "Auto &Align"},
        {"MenuRotateCW", "Turn Right Picture Clockwise (Shift: 1°)"},
        {"MenuRotateCCW", "Turn Right Picture Counterclockwise (Shift: 1°)"},
        {"MenuClearCorrection", "C&lear Correction"},
        {"MenuAlignOnLoad", "Align Pairs on &Load"},
        {"Aligning", "Aligning…"},
        {"Aligned", "Aligned: rotation %1°, scale %2, residual %3 px; parallax %4 to %5 % of width"},
        {"AlignNoMemory", "Could not align: not enough memory for copies of the pictures"},
        {"MenuShowLeft", "&Left Picture"},
        {"MenuShowRight", "&Right Picture"},
        {"MenuShowResult", "&Anaglyph"},
        {"MenuResultAsTitle", "Result A&s"},
        {"MenuResultAnaglyph", "&Anaglyph"},
        {"MenuResultSideBySide", "&Side by Side"},
        {"MenuResultCrossEyed", "&Cross-Eyed"},
        {"MenuResultOverUnder", "&Over-Under"},
        {"MenuResultHalfSideBySide", "&Half Side by Side"},
        {"MenuResultHalfOverUnder", "Half O&ver-Under"},
        {"MenuResultInterleavedRows", "&Interleaved Rows"},
        {"MenuAbout", "&About Korvex"},
        {"MenuWebSite", "Korvex &Website"},
        {"MenuFAQ", "&Frequently Asked Questions"},
        {"MenuMail", "&Mail the Author"},
        {"AboutTitle", "About Korvex"},
        {"AboutGuide", "The Korvex user guide"},
        {"AboutText", "Turns stereo pairs of photographs into anaglyph pictures for two-colour 3-D glasses.<br>Free software under the GNU General Public License, version 3 or later."},
    };
    return table;
}

}  // namespace

QString localizedString(std::string_view key)
{
    const auto& table = englishTable();
    const auto it = table.find(key);
    if (it == table.end())
        return QString::fromUtf8(key.data(), qsizetype(key.size()));
    return QString::fromUtf8(it->second);
}

}  // namespace korvex
