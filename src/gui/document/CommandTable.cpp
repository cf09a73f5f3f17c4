#include "gui/document/CommandTable.h"

#include "gui/common/Strings.h"
#include "gui/document/AutoAligner.h"
#include "gui/document/ColourMixingDialog.h"
#include "gui/document/DocumentToolbar.h"
#include "gui/document/DocumentPrinting.h"
#include "gui/document/DocumentZoom.h"
#include "gui/document/MyDocument.h"
#include "core/recent/RecentDocuments.h"
#include "gui/imageview/ImageView.h"

#include <QTabWidget>
#include <QUndoStack>

#include <stdexcept>

namespace korvex {

namespace {

using App = ApplicationCommands;

QString undoText(const QUndoStack& stack, bool redo)
{
    const QString step = redo ? stack.redoText() : stack.undoText();
    if (step.isEmpty())
        return localizedString(redo ? "MenuRedo" : "MenuUndo");
    return localizedString(redo ? "MenuRedoStep" : "MenuUndoStep").arg(step);
}

// Each offset key works with and without Shift; Shift moves by five.
QList<QKeySequence> withAndWithoutShift(Qt::Key key)
{
    return {QKeySequence(Qt::CTRL | key), QKeySequence(Qt::CTRL | Qt::SHIFT | key)};
}

// The platform's keys, plus keys of our own where a key scheme has none
// (Save As is empty under the KDE and X11 schemes).
QList<QKeySequence> standardKeys(QKeySequence::StandardKey key, QList<QKeySequence> ownKeys = {})
{
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    for (const QKeySequence& own : ownKeys)
        if (!keys.contains(own))
            keys.append(own);
    return keys;
}

// The glasses type a menu tag stands for: 1 to 6 are their own tags, 7 to
// 10 have tags of their own since 10 already means the colour item.
int glassesForTag(int itemTag)
{
    return itemTag >= tag::glassesMoreFirst ? itemTag - tag::glassesMoreFirst + 7 : itemTag;
}

AnaglyphMethod methodForTag(int itemTag)
{
    return anaglyphMethods()[std::size_t(itemTag - tag::methodFirst)].method;
}

bool glassesChecked(const MyDocument& document, int tag)
{
    return document.model().glasses() == glassesForTag(tag);
}

bool methodChecked(const MyDocument& document, int tag)
{
    return document.model().anaglyphMethod() == methodForTag(tag);
}

bool alignOnLoadChecked(const MyDocument& document, int)
{
    return document.autoAligner().alignOnLoad();
}

bool colorizeChecked(const MyDocument& document, int)
{
    return document.model().colorize();
}

void showTab(MyDocument& document, int index)
{
    document.tabView()->setCurrentIndex(index);
}

CommandRow glassesRow(Command command, const char* objectName, const char* textKey, int glassesTag)
{
    // Alt+1 to Alt+9, and Alt+0 for the tenth.
    const int glasses = glassesForTag(glassesTag);
    return {.command = command,
            .objectName = objectName,
            .textKey = textKey,
            .tag = glassesTag,
            .shortcuts = {QKeySequence(Qt::ALT | Qt::Key(Qt::Key_0 + glasses % 10))},
            .exclusiveGroup = "glasses",
            .checked = glassesChecked,
            .onDocument = [](MyDocument& d, int t) { d.changeUndoably("UndoGlasses", UndoMerge::None, [&] { d.model().set3DGlasses(glassesForTag(t)); }); }};
}

CommandRow methodRow(Command command, const char* objectName, const char* textKey, AnaglyphMethod method)
{
    int index = 0;
    while (anaglyphMethods()[std::size_t(index)].method != method)
        ++index;
    return {.command = command,
            .objectName = objectName,
            .textKey = textKey,
            .tag = tag::methodFirst + index,
            .exclusiveGroup = "method",
            .checked = methodChecked,
            .onDocument = [](MyDocument& d, int t) {
                d.changeUndoably("UndoMethod", UndoMerge::None, [&] { d.model().setAnaglyphMethod(methodForTag(t)); });
            }};
}

// View > Result As: what the result tab shows, prints and saves as a still picture.
template <StereoFormat Format>
CommandRow resultAsRow(Command command, const char* objectName, const char* textKey)
{
    return {.command = command,
            .objectName = objectName,
            .textKey = textKey,
            .exclusiveGroup = "resultFormat",
            .checked = [](const MyDocument& d, int) { return d.model().resultFormat() == Format; },
            .onDocument = [](MyDocument& d, int) {
                d.changeUndoably("UndoResultFormat", UndoMerge::None, [&] { d.model().setResultFormat(Format); });
            }};
}

std::vector<CommandRow> makeTable()
{
    return {
        {.command = Command::NewDocument, .objectName = "newDocument", .textKey = "MenuNew", .tag = tag::general,
         .shortcuts = standardKeys(QKeySequence::New), .onApplication = &App::newDocument},
        {.command = Command::OpenDocument, .objectName = "openDocument", .textKey = "MenuOpen", .tag = tag::general,
         .shortcuts = standardKeys(QKeySequence::Open), .onApplication = &App::openDocument},
        {.command = Command::OpenLeft, .objectName = "openLeft", .textKey = "MenuOpenLeft", .tag = tag::general,
         .shortcuts = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L)}, .iconName = "openleft",
         .onApplication = &App::openLeft},
        {.command = Command::OpenRight, .objectName = "openRight", .textKey = "MenuOpenRight", .tag = tag::generalOther,
         .shortcuts = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R)}, .iconName = "openright",
         .onApplication = &App::openRight},
        {.command = Command::ClearRecent, .objectName = "clearRecent", .textKey = "MenuClearRecent",
         .tag = tag::clearRecent, .onDocument = [](MyDocument& d, int) { RecentDocuments(d.defaults()).clear(); }},
        {.command = Command::Save, .objectName = "saveDocument", .textKey = "MenuSave", .tag = tag::save,
         .shortcuts = standardKeys(QKeySequence::Save), .onDocument = [](MyDocument& d, int) { d.saveDocument(); }},
        {.command = Command::SaveAs, .objectName = "saveDocumentAs", .textKey = "MenuSaveAs", .tag = tag::saveAs,
         .shortcuts = standardKeys(QKeySequence::SaveAs, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}),
         .iconName = "save", .iconTextKey = "Save", .toolTipKey = "TBSave",
         .onDocument = [](MyDocument& d, int) { d.saveResult(); }},
        {.command = Command::PageSetup, .objectName = "pageSetup", .textKey = "MenuPageSetup",
         .shortcuts = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P)},
         .onDocument = [](MyDocument& d, int) { d.printing().runPageSetup(); }},
        {.command = Command::PrintPreview, .objectName = "printPreview", .textKey = "MenuPrintPreview",
         .tag = tag::needsPicture, .onDocument = [](MyDocument& d, int) { d.printing().showPrintPreview(); }},
        {.command = Command::Print, .objectName = "printDocument", .textKey = "MenuPrint", .tag = tag::needsPicture,
         .shortcuts = standardKeys(QKeySequence::Print), .iconName = "print", .iconTextKey = "Print",
         .toolTipKey = "TBPrint", .onDocument = [](MyDocument& d, int) { d.printShowingPrintPanel(true); }},
        {.command = Command::Close, .objectName = "closeWindow", .textKey = "MenuClose", .tag = tag::generalOther,
         .shortcuts = standardKeys(QKeySequence::Close), .onDocument = [](MyDocument& d, int) { d.close(); }},
        {.command = Command::Quit, .objectName = "quit", .textKey = "MenuQuit", .tag = tag::general,
         .shortcuts = standardKeys(QKeySequence::Quit), .onApplication = &App::terminate},

        {.command = Command::Undo, .objectName = "undo", .textKey = "MenuUndo",
         .shortcuts = standardKeys(QKeySequence::Undo),
         .available = [](const MyDocument& d) { return d.undoStack()->canUndo(); },
         .currentText = [](const MyDocument& d) { return undoText(*d.undoStack(), false); },
         .onDocument = [](MyDocument& d, int) { d.undoStack()->undo(); }},
        {.command = Command::Redo, .objectName = "redo", .textKey = "MenuRedo",
         .shortcuts = standardKeys(QKeySequence::Redo, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                                       QKeySequence(Qt::CTRL | Qt::Key_Y)}),
         .available = [](const MyDocument& d) { return d.undoStack()->canRedo(); },
         .currentText = [](const MyDocument& d) { return undoText(*d.undoStack(), true); },
         .onDocument = [](MyDocument& d, int) { d.undoStack()->redo(); }},
        {.command = Command::Copy, .objectName = "copy", .textKey = "MenuCopy", .tag = tag::needsPicture,
         .shortcuts = standardKeys(QKeySequence::Copy), .onDocument = [](MyDocument& d, int) { d.copy(); }},
        {.command = Command::Paste, .objectName = "paste", .textKey = "MenuPaste",
         .shortcuts = standardKeys(QKeySequence::Paste), .onDocument = [](MyDocument& d, int) { d.paste(); }},

        glassesRow(Command::GlassesRedGreen, "glassesRG", "MenuGlassesRG", 1),
        glassesRow(Command::GlassesRedCyan, "glassesRC", "MenuGlassesRC", 2),
        glassesRow(Command::GlassesRedBlue, "glassesRB", "MenuGlassesRB", 3),
        glassesRow(Command::GlassesGreenRed, "glassesGR", "MenuGlassesGR", 4),
        glassesRow(Command::GlassesCyanRed, "glassesCR", "MenuGlassesCR", 5),
        glassesRow(Command::GlassesBlueRed, "glassesBR", "MenuGlassesBR", 6),
        glassesRow(Command::GlassesAmberBlue, "glassesAB", "MenuGlassesAB", tag::glassesMoreFirst),
        glassesRow(Command::GlassesBlueAmber, "glassesBA", "MenuGlassesBA", tag::glassesMoreFirst + 1),
        glassesRow(Command::GlassesGreenMagenta, "glassesGM", "MenuGlassesGM", tag::glassesMoreFirst + 2),
        glassesRow(Command::GlassesMagentaGreen, "glassesMG", "MenuGlassesMG", tag::glassesMoreFirst + 3),
        methodRow(Command::MethodClassic, "methodClassic", "MenuMethodClassic", AnaglyphMethod::Classic),
        methodRow(Command::MethodGrey, "methodGrey", "MenuMethodGrey", AnaglyphMethod::Grey),
        methodRow(Command::MethodHalfColour, "methodHalfColour", "MenuMethodHalfColour", AnaglyphMethod::HalfColour),
        methodRow(Command::MethodColour, "methodColour", "MenuMethodColour", AnaglyphMethod::Colour),
        methodRow(Command::MethodDubois, "methodDubois", "MenuMethodDubois", AnaglyphMethod::Dubois),
        methodRow(Command::MethodCustom, "methodCustom", "MenuMethodCustom", AnaglyphMethod::Custom),
        {.command = Command::ColourMixing, .objectName = "colourMixing", .textKey = "MenuColourMixing",
         .shortcuts = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M)},
         .onDocument = [](MyDocument& d, int) { ColourMixingDialog::open(d); }},
        {.command = Command::Colorize, .objectName = "colorize", .textKey = "MenuColor", .tag = tag::colorize,
         .shortcuts = {QKeySequence(Qt::CTRL | Qt::Key_K)}, .checked = colorizeChecked,
         .onDocument = [](MyDocument& d, int) { d.changeUndoably("UndoColor", UndoMerge::None, [&] { d.model().set3DColor(); }); }},
        {.command = Command::IncDepth, .objectName = "incDepth", .textKey = "MenuIncDepth", .tag = tag::incDepth,
         .shortcuts = withAndWithoutShift(Qt::Key_Right), .iconName = "larger", .iconTextKey = "IncDepth",
         .toolTipKey = "TBIncDepth", .onDocument = [](MyDocument& d, int) { d.changeUndoably("UndoDepth", UndoMerge::Depth, [&] { d.model().incDepth(); }); }},
        {.command = Command::DecDepth, .objectName = "decDepth", .textKey = "MenuDecDepth", .tag = tag::decDepth,
         .shortcuts = withAndWithoutShift(Qt::Key_Left), .iconName = "smaller", .iconTextKey = "DecDepth",
         .toolTipKey = "TBDecDepth", .onDocument = [](MyDocument& d, int) { d.changeUndoably("UndoDepth", UndoMerge::Depth, [&] { d.model().decDepth(); }); }},
        {.command = Command::IncVerticalOffset, .objectName = "incVerticalOffset", .textKey = "MenuIncVOff",
         .tag = tag::incVerticalOffset, .shortcuts = withAndWithoutShift(Qt::Key_Up), .iconName = "up",
         .iconTextKey = "IncVOff", .toolTipKey = "TBIncVOff",
         .onDocument = [](MyDocument& d, int) {
             d.changeUndoably("UndoVertical", UndoMerge::Vertical, [&] { d.model().incVerticalOffset(); });
         }},
        {.command = Command::DecVerticalOffset, .objectName = "decVerticalOffset", .textKey = "MenuDecVOff",
         .tag = tag::decVerticalOffset, .shortcuts = withAndWithoutShift(Qt::Key_Down), .iconName = "down",
         .iconTextKey = "DecVOff", .toolTipKey = "TBDecVOff",
         .onDocument = [](MyDocument& d, int) {
             d.changeUndoably("UndoVertical", UndoMerge::Vertical, [&] { d.model().decVerticalOffset(); });
         }},
        {.command = Command::ResetAlignment, .objectName = "resetAlignment", .textKey = "MenuReset",
         .tag = tag::resetAlignment, .shortcuts = {QKeySequence(Qt::CTRL | Qt::Key_0)}, .iconName = "reset",
         .iconTextKey = "Reset", .toolTipKey = "TBReset",
         .onDocument = [](MyDocument& d, int) { d.changeUndoably("UndoReset", UndoMerge::None, [&] { d.model().resetAlignment(); }); }},
        {.command = Command::SwitchPictures, .objectName = "switchPictures", .textKey = "MenuSwap",
         .shortcuts = {QKeySequence(Qt::CTRL | Qt::Key_T)}, .iconName = "swap", .iconTextKey = "Swap",
         .toolTipKey = "TBSwap", .onDocument = [](MyDocument& d, int) { d.swapPictures(); }},
        {.command = Command::AutoAlign, .objectName = "autoAlign", .textKey = "MenuAutoAlign", .tag = tag::autoAlign,
         .shortcuts = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A)}, .iconName = "autoalign",
         .iconTextKey = "AutoAlign", .toolTipKey = "TBAutoAlign",
         .onDocument = [](MyDocument& d, int) { d.autoAligner().start(); }},
        {.command = Command::RotateRightClockwise, .objectName = "rotateRightClockwise", .textKey = "MenuRotateCW",
         .tag = tag::rotateRightClockwise, .shortcuts = withAndWithoutShift(Qt::Key_BracketRight),
         .onDocument = [](MyDocument& d, int) {
             d.changeUndoably("UndoRotate", UndoMerge::Rotate, [&] { d.model().rotateRightClockwise(); });
         }},
        {.command = Command::RotateRightCounterclockwise, .objectName = "rotateRightCounterclockwise",
         .textKey = "MenuRotateCCW", .tag = tag::rotateRightCounterclockwise,
         .shortcuts = withAndWithoutShift(Qt::Key_BracketLeft),
         .onDocument = [](MyDocument& d, int) {
             d.changeUndoably("UndoRotate", UndoMerge::Rotate, [&] { d.model().rotateRightCounterclockwise(); });
         }},
        {.command = Command::ClearCorrection, .objectName = "clearCorrection", .textKey = "MenuClearCorrection",
         .tag = tag::clearCorrection, .onDocument = [](MyDocument& d, int) {
             d.changeUndoably("UndoClearCorrection", UndoMerge::None, [&] { d.model().clearCorrection(); });
         }},
        {.command = Command::AlignOnLoad, .objectName = "alignOnLoad", .textKey = "MenuAlignOnLoad",
         .checked = alignOnLoadChecked, .onDocument = [](MyDocument& d, int) {
             d.autoAligner().setAlignOnLoad(!d.autoAligner().alignOnLoad());
         }},

        {.command = Command::ShowLeft, .objectName = "showLeft", .textKey = "MenuShowLeft",
         .shortcuts = {QKeySequence(Qt::CTRL | Qt::Key_1)}, .onDocument = [](MyDocument& d, int) { showTab(d, 0); }},
        {.command = Command::ShowRight, .objectName = "showRight", .textKey = "MenuShowRight",
         .shortcuts = {QKeySequence(Qt::CTRL | Qt::Key_2)}, .onDocument = [](MyDocument& d, int) { showTab(d, 1); }},
        {.command = Command::ShowResult, .objectName = "showResult", .textKey = "MenuShowResult",
         .shortcuts = {QKeySequence(Qt::CTRL | Qt::Key_3)}, .onDocument = [](MyDocument& d, int) { showTab(d, 2); }},
        {.command = Command::ZoomIn, .objectName = "zoomIn", .textKey = "MenuZoomIn",
         .shortcuts = standardKeys(QKeySequence::ZoomIn, {QKeySequence(Qt::CTRL | Qt::Key_Plus),
                                                          QKeySequence(Qt::CTRL | Qt::Key_Equal)}),
         .onDocument = [](MyDocument& d, int) { d.documentZoom().zoomIn(); }},
        {.command = Command::ZoomOut, .objectName = "zoomOut", .textKey = "MenuZoomOut",
         .shortcuts = standardKeys(QKeySequence::ZoomOut, {QKeySequence(Qt::CTRL | Qt::Key_Minus)}),
         .onDocument = [](MyDocument& d, int) { d.documentZoom().zoomOut(); }},
        {.command = Command::ZoomToFit, .objectName = "zoomToFit", .textKey = "MenuZoomToFit",
         .shortcuts = {QKeySequence(Qt::CTRL | Qt::Key_9)},
         .onDocument = [](MyDocument& d, int) { d.documentZoom().zoomToFit(); }},
        // Ctrl+0 stays the alignment reset.
        {.command = Command::ActualSize, .objectName = "actualSize", .textKey = "MenuActualSize",
         .shortcuts = {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_0)},
         .onDocument = [](MyDocument& d, int) { d.documentZoom().actualSize(); }},
        {.command = Command::FitNewPictures, .objectName = "fitNewPictures", .textKey = "MenuFitNewPictures",
         .checked = [](const MyDocument& d, int) { return d.documentZoom().fitNewPictures(); },
         .onDocument = [](MyDocument& d, int) { d.documentZoom().setFitNewPictures(!d.documentZoom().fitNewPictures()); }},
        resultAsRow<StereoFormat::Anaglyph>(Command::ResultAsAnaglyph, "resultAsAnaglyph", "MenuResultAnaglyph"),
        resultAsRow<StereoFormat::SideBySide>(Command::ResultAsSideBySide, "resultAsSideBySide",
                                              "MenuResultSideBySide"),
        resultAsRow<StereoFormat::CrossEyed>(Command::ResultAsCrossEyed, "resultAsCrossEyed", "MenuResultCrossEyed"),
        resultAsRow<StereoFormat::OverUnder>(Command::ResultAsOverUnder, "resultAsOverUnder", "MenuResultOverUnder"),
        resultAsRow<StereoFormat::HalfSideBySide>(Command::ResultAsHalfSideBySide, "resultAsHalfSideBySide",
                                                  "MenuResultHalfSideBySide"),
        resultAsRow<StereoFormat::HalfOverUnder>(Command::ResultAsHalfOverUnder, "resultAsHalfOverUnder",
                                                 "MenuResultHalfOverUnder"),
        resultAsRow<StereoFormat::InterleavedRows>(Command::ResultAsInterleavedRows, "resultAsInterleavedRows",
                                                   "MenuResultInterleavedRows"),

        {.command = Command::WebSite, .objectName = "webSite", .textKey = "MenuWebSite", .tag = tag::generalOther,
         .onApplication = &App::goToWebSite},
        {.command = Command::FAQ, .objectName = "faq", .textKey = "MenuFAQ", .tag = tag::generalOther,
         .onApplication = &App::showFAQ},
        {.command = Command::MailToAuthor, .objectName = "mailToAuthor", .textKey = "MenuMail",
         .tag = tag::generalOther, .onApplication = &App::mailToAuthor},
        {.command = Command::CustomizeToolbar, .objectName = "customizeToolbar", .textKey = "CustomizeToolbar",
         .onDocument =
             [](MyDocument& d, int) {
                 if (d.toolbar())
                     d.toolbar()->runCustomizePalette();
             }},
        {.command = Command::About, .objectName = "about", .textKey = "MenuAbout", .tag = tag::generalOther,
         .onApplication = &App::showAboutPanel},
    };
}

}  // namespace

const std::vector<CommandRow>& commandTable()
{
    static const std::vector<CommandRow> table = makeTable();
    return table;
}

const CommandRow& commandRow(Command command)
{
    for (const CommandRow& row : commandTable())
        if (row.command == command)
            return row;
    throw std::logic_error("a command without a row in the command table");
}

bool isEnabled(Command command, const MyDocument* document)
{
    const CommandRow& row = commandRow(command);
    const int itemTag = row.tag;
    if (!document)
        return itemTag == tag::general || itemTag == tag::generalOther;
    if (row.available && !row.available(*document))
        return false;
    if (itemTag >= tag::methodFirst && itemTag <= tag::methodLast)
        return isMethodAvailable(methodForTag(itemTag), document->model().glasses());
    switch (itemTag) {
    case tag::save:
    case tag::saveAs:
    case tag::incDepth:
    case tag::decDepth:
    case tag::incVerticalOffset:
    case tag::decVerticalOffset:
    case tag::resetAlignment:
    case tag::autoAlign:
    case tag::rotateRightClockwise:
    case tag::rotateRightCounterclockwise:
        return document->model().hasResult();
    case tag::clearCorrection:
        return document->model().hasResult() && !document->model().rightCorrection().isIdentity();
    case tag::never:
        return false;
    case tag::clearRecent:
        return !RecentDocuments(document->defaults()).entries().empty();
    case tag::needsPicture: {
        const ImageView* view = document->currentImage();
        // A result on its way counts: Print waits for it.
        if (view && view == document->resultImage() && document->model().resultPending())
            return document->model().picturesOverlap();
        return view && StereoDocument::hasValidImage(view->store());
    }
    default:
        return true;
    }
}

void perform(Command command, MyDocument* document, ApplicationCommands* application)
{
    if (!isEnabled(command, document))
        return;
    const CommandRow& row = commandRow(command);
    if (row.onDocument && document)
        row.onDocument(*document, row.tag);
    else if (row.onApplication && application)
        (application->*row.onApplication)();
}

QString commandText(Command command, const MyDocument* document)
{
    const CommandRow& row = commandRow(command);
    return row.currentText && document ? row.currentText(*document) : localizedString(row.textKey);
}

bool isChecked(Command command, const MyDocument& document)
{
    const CommandRow& row = commandRow(command);
    return row.checked && row.checked(document, row.tag);
}

const std::vector<MenuRow>& menuLayout()
{
    using E = MenuEntry;
    static const std::vector<MenuRow> layout = {
        {"MenuFileTitle",
         {E::item(Command::NewDocument), E::item(Command::OpenDocument), E::item(Command::OpenLeft),
          E::item(Command::OpenRight),
          E::submenu("MenuOpenRecentTitle",
                     {E::recentDocuments(), E::item(Command::ClearRecent)}),
          E::separator(), E::item(Command::Save), E::item(Command::SaveAs),
          E::separator(), E::item(Command::PageSetup), E::item(Command::PrintPreview), E::item(Command::Print),
          E::separator(), E::item(Command::Close), E::item(Command::Quit)}},
        {"MenuEditTitle",
         {E::item(Command::Undo), E::item(Command::Redo), E::separator(), E::item(Command::Copy),
          E::item(Command::Paste)}},
        {"MenuStereoTitle",
         {E::item(Command::GlassesRedGreen), E::item(Command::GlassesRedCyan), E::item(Command::GlassesRedBlue),
          E::item(Command::GlassesGreenRed), E::item(Command::GlassesCyanRed), E::item(Command::GlassesBlueRed),
          E::item(Command::GlassesAmberBlue), E::item(Command::GlassesBlueAmber),
          E::item(Command::GlassesGreenMagenta), E::item(Command::GlassesMagentaGreen), E::separator(),
          E::item(Command::Colorize),
          E::submenu("MenuMethodTitle",
                     {E::item(Command::MethodClassic), E::item(Command::MethodGrey), E::item(Command::MethodHalfColour),
                      E::item(Command::MethodColour), E::item(Command::MethodDubois), E::item(Command::MethodCustom)}),
          E::item(Command::ColourMixing), E::separator(), E::item(Command::IncDepth),
          E::item(Command::DecDepth), E::item(Command::IncVerticalOffset), E::item(Command::DecVerticalOffset),
          E::item(Command::ResetAlignment), E::separator(), E::item(Command::AutoAlign),
          E::item(Command::RotateRightClockwise), E::item(Command::RotateRightCounterclockwise),
          E::item(Command::ClearCorrection), E::item(Command::AlignOnLoad), E::separator(),
          E::item(Command::SwitchPictures)}},
        {"MenuViewTitle",
         {E::item(Command::ShowLeft), E::item(Command::ShowRight), E::item(Command::ShowResult), E::separator(),
          E::item(Command::ZoomIn), E::item(Command::ZoomOut), E::item(Command::ZoomToFit),
          E::item(Command::ActualSize), E::item(Command::FitNewPictures), E::separator(),
          E::submenu("MenuResultAsTitle",
                     {E::item(Command::ResultAsAnaglyph), E::item(Command::ResultAsSideBySide),
                      E::item(Command::ResultAsCrossEyed), E::item(Command::ResultAsOverUnder),
                      E::item(Command::ResultAsHalfSideBySide), E::item(Command::ResultAsHalfOverUnder),
                      E::item(Command::ResultAsInterleavedRows)}), E::separator(), E::item(Command::CustomizeToolbar)}},
        {"MenuHelpTitle",
         {E::item(Command::WebSite), E::item(Command::FAQ), E::item(Command::MailToAuthor), E::separator(),
          E::item(Command::About)}},
    };
    return layout;
}

}  // namespace korvex
