#pragma once

namespace korvex {

// Every command of the window's menus and toolbar. A new command is one row
// in the command table (gui/document/CommandTable.cpp) plus its handler.
enum class Command {
    NewDocument,
    OpenDocument,
    OpenLeft,
    OpenRight,
    ClearRecent,
    Save,
    SaveAs,
    PageSetup,
    PrintPreview,
    Print,
    Close,
    Quit,
    Undo,
    Redo,
    Copy,
    Paste,
    GlassesRedGreen,
    GlassesRedCyan,
    GlassesRedBlue,
    GlassesGreenRed,
    GlassesCyanRed,
    GlassesBlueRed,
    GlassesAmberBlue,
    GlassesBlueAmber,
    GlassesGreenMagenta,
    GlassesMagentaGreen,
    MethodClassic,
    MethodGrey,
    MethodHalfColour,
    MethodColour,
    MethodDubois,
    MethodCustom,
    ColourMixing,
    Colorize,
    IncDepth,
    DecDepth,
    IncVerticalOffset,
    DecVerticalOffset,
    ResetAlignment,
    SwitchPictures,
    AutoAlign,
    RotateRightClockwise,
    RotateRightCounterclockwise,
    ClearCorrection,
    AlignOnLoad,
    ShowLeft,
    ShowRight,
    ShowResult,
    ZoomIn,
    ZoomOut,
    ZoomToFit,
    ActualSize,
    FitNewPictures,
    ResultAsAnaglyph,
    ResultAsSideBySide,
    ResultAsCrossEyed,
    ResultAsOverUnder,
    ResultAsHalfSideBySide,
    ResultAsHalfOverUnder,
    ResultAsInterleavedRows,
    CustomizeToolbar,
    WebSite,
    FAQ,
    MailToAuthor,
    About,
};

// The menu item tags; the enabling rule of an item follows from its tag.
namespace tag {
constexpr int always = 0;              // enabled whenever a document is in front
constexpr int glassesFirst = 1;        // 1 to 6: the glasses types, checked by the document's type
constexpr int glassesLast = 6;
constexpr int colorize = 10;           // checked while colour is on
constexpr int save = 20;               // 20, 21: need both pictures
constexpr int saveAs = 21;
constexpr int never = 22;              // never enabled
constexpr int needsPicture = 25;       // needs a picture in the selected tab
constexpr int incDepth = 30;           // 30 to 34: need both pictures
constexpr int decDepth = 31;
constexpr int incVerticalOffset = 32;
constexpr int decVerticalOffset = 33;
constexpr int resetAlignment = 34;
constexpr int autoAlign = 40;          // 40 to 43: the right picture's correction, need both pictures
constexpr int rotateRightClockwise = 41;
constexpr int rotateRightCounterclockwise = 42;
constexpr int clearCorrection = 43;
constexpr int glassesMoreFirst = 45;   // 45 to 48: glasses types 7 to 10 (10 is the colour item's tag)
constexpr int glassesMoreLast = 48;
constexpr int methodFirst = 50;        // 50 to 55: the anaglyph methods in their table's order,
constexpr int methodLast = 55;         //   enabled where the glasses offer them
constexpr int clearRecent = 60;         // needs an entry in File > Open Recent
constexpr int general = 100;           // 100, 101: enabled with no document in front too
constexpr int generalOther = 101;
}  // namespace tag

}  // namespace korvex
