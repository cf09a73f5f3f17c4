#include "gui/app/ApplicationHandler.h"

#include "gui/app/AboutWindow.h"
#include "gui/app/ProductLinks.h"
#include "gui/app/Strings.h"
#include "gui/document/DocumentController.h"
#include "gui/document/MyDocument.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDesktopServices>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QUrl>

namespace korvex {

namespace {

ApplicationHandler* theHandler = nullptr;
// Which picture the plain open command fills; kept across commands.
bool openIntoLeft = true;

constexpr int tagGlassesFirst = 1;
constexpr int tagGlassesLast = 6;
constexpr int tagColor = 10;

QString text(const char* key)
{
    return localizedString(key);
}

}  // namespace

ApplicationHandler::ApplicationHandler(DocumentController& documents, QObject* parent)
    : QObject(parent), documents_(documents)
{
    theHandler = this;
    createActions();
    connect(&documents_, &DocumentController::documentAdded, this, &ApplicationHandler::documentAdded);
    connect(qApp, &QApplication::focusChanged, this, [this] { validateMenuItems(); });
}

ApplicationHandler::~ApplicationHandler()
{
    if (theHandler == this)
        theHandler = nullptr;
    delete aboutWindow_.data();
}

ApplicationHandler* ApplicationHandler::instance()
{
    return theHandler;
}

MyDocument* ApplicationHandler::keyDocument() const
{
    // An open menu, or a moment with no active window at all (a dialog just
    // closed and the window manager has not handed the focus back yet), leaves
    // the last document window in charge; any other window (a dialog, About)
    // has no document.
    QWidget* window = QApplication::activeWindow();
    if (!window || QApplication::activePopupWidget() || window->windowType() == Qt::Popup)
        return documents_.documents().contains(lastKeyDocument_.data()) ? lastKeyDocument_.data() : nullptr;
    MyDocument* document = documents_.documentForWindow(window);
    if (document)
        lastKeyDocument_ = document;
    return document;
}

QAction* ApplicationHandler::makeAction(const char* objectName, const QString& title, int tag)
{
    auto* a = new QAction(title, this);
    a->setObjectName(QLatin1String(objectName));
    a->setData(tag);
    actions_.append(a);
    return a;
}

void ApplicationHandler::createActions()
{
    // Tags: 1 to 6 glasses, 10 colour, 20, 21, 30 to 34 need both pictures,
    // 25 needs a picture in the selected tab, 100 and 101 work without a
    // document in front; 0 is always enabled with a document.
    QAction* a = makeAction("newDocument", text("MenuNew"), 100);
    a->setShortcut(QKeySequence::New);
    connect(a, &QAction::triggered, this, [this] { documents_.openUntitledDocument(); });

    a = makeAction("openDocument", text("MenuOpen"), 100);
    a->setShortcut(QKeySequence::Open);
    connect(a, &QAction::triggered, this, &ApplicationHandler::openDocument);
    a = makeAction("openLeft", text("MenuOpenLeft"), 100);
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));
    connect(a, &QAction::triggered, this, &ApplicationHandler::openLeft);
    a = makeAction("openRight", text("MenuOpenRight"), 101);
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
    connect(a, &QAction::triggered, this, &ApplicationHandler::openRight);

    a = makeAction("saveDocument", text("MenuSave"), 20);
    a->setShortcut(QKeySequence::Save);
    connect(a, &QAction::triggered, this, [this] {
        if (MyDocument* d = keyDocument())
            d->saveDocument();
    });
    a = makeAction("saveDocumentAs", text("MenuSaveAs"), 21);
    a->setShortcut(QKeySequence::SaveAs);
    connect(a, &QAction::triggered, this, [this] {
        if (MyDocument* d = keyDocument())
            d->saveResult();
    });
    a = makeAction("printDocument", text("MenuPrint"), 25);
    a->setShortcut(QKeySequence::Print);
    connect(a, &QAction::triggered, this, [this] {
        if (MyDocument* d = keyDocument())
            d->printShowingPrintPanel(true);
    });
    a = makeAction("closeWindow", text("MenuClose"), 101);
    a->setShortcut(QKeySequence::Close);
    connect(a, &QAction::triggered, this, [] {
        if (QWidget* w = QApplication::activeWindow())
            w->close();
    });
    a = makeAction("quit", text("MenuQuit"), 100);
    a->setShortcut(QKeySequence::Quit);
    a->setMenuRole(QAction::QuitRole);
    connect(a, &QAction::triggered, this, &ApplicationHandler::terminate);

    static const char* const glassesNames[] = {"glassesRG", "glassesRC", "glassesRB", "glassesGR", "glassesCR", "glassesBR"};
    static const char* const glassesKeys[] = {"MenuGlassesRG", "MenuGlassesRC", "MenuGlassesRB",
                                              "MenuGlassesGR", "MenuGlassesCR", "MenuGlassesBR"};
    auto* glassesGroup = new QActionGroup(this);  // shown as a choice of one
    for (int tag = tagGlassesFirst; tag <= tagGlassesLast; ++tag) {
        a = makeAction(glassesNames[tag - 1], text(glassesKeys[tag - 1]), tag);
        a->setCheckable(true);
        glassesGroup->addAction(a);
        a->setShortcut(QKeySequence(Qt::ALT | Qt::Key(Qt::Key_0 + tag)));
        connect(a, &QAction::triggered, this, [this, a] { set3DGlasses(a); });
    }
    a = makeAction("colorize", text("MenuColor"), tagColor);
    a->setCheckable(true);
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    connect(a, &QAction::triggered, this, &ApplicationHandler::set3DColor);

    // Shift held with any of these moves by five; each key works with and without it.
    auto offsetAction = [&](const char* name, const char* key, int tag, Qt::Key k, void (ApplicationHandler::*command)()) {
        QAction* offset = makeAction(name, text(key), tag);
        offset->setShortcuts({QKeySequence(Qt::CTRL | k), QKeySequence(Qt::CTRL | Qt::SHIFT | k)});
        connect(offset, &QAction::triggered, this, command);
    };
    offsetAction("incDepth", "MenuIncDepth", 30, Qt::Key_Right, &ApplicationHandler::incDepth);
    offsetAction("decDepth", "MenuDecDepth", 31, Qt::Key_Left, &ApplicationHandler::decDepth);
    offsetAction("incVerticalOffset", "MenuIncVOff", 32, Qt::Key_Up, &ApplicationHandler::incVerticalOffset);
    offsetAction("decVerticalOffset", "MenuDecVOff", 33, Qt::Key_Down, &ApplicationHandler::decVerticalOffset);
    a = makeAction("resetAlignment", text("MenuReset"), 34);
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    connect(a, &QAction::triggered, this, &ApplicationHandler::resetAlignment);
    a = makeAction("switchPictures", text("MenuSwap"), 0);
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    connect(a, &QAction::triggered, this, &ApplicationHandler::switchPictures);

    static const char* const tabNames[] = {"showLeft", "showRight", "showResult"};
    static const char* const tabKeys[] = {"MenuShowLeft", "MenuShowRight", "MenuShowResult"};
    for (int i = 0; i < 3; ++i) {
        a = makeAction(tabNames[i], text(tabKeys[i]), 0);
        a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i)));
        connect(a, &QAction::triggered, this, [this, i] {
            if (MyDocument* d = keyDocument())
                d->tabView()->setCurrentIndex(i);
        });
    }

    a = makeAction("about", text("MenuAbout"), 101);
    a->setMenuRole(QAction::AboutRole);
    connect(a, &QAction::triggered, this, &ApplicationHandler::showAboutPanel);
    a = makeAction("webSite", text("MenuWebSite"), 101);
    connect(a, &QAction::triggered, this, &ApplicationHandler::goToWebSite);
    a = makeAction("faq", text("MenuFAQ"), 101);
    connect(a, &QAction::triggered, this, &ApplicationHandler::showFAQ);
    a = makeAction("mailToAuthor", text("MenuMail"), 101);
    connect(a, &QAction::triggered, this, &ApplicationHandler::mailToAuthor);
}

QAction* ApplicationHandler::action(const char* objectName) const
{
    for (QAction* a : actions_)
        if (a->objectName() == QLatin1String(objectName))
            return a;
    return nullptr;
}

QAction* ApplicationHandler::actionWithTag(int tag) const
{
    for (QAction* a : actions_)
        if (a->data().toInt() == tag)
            return a;
    return nullptr;
}

void ApplicationHandler::installMenus(QMainWindow* window)
{
    QMenuBar* bar = window->menuBar();
    auto addMenu = [&](const char* key, std::initializer_list<const char*> names) {
        QMenu* menu = bar->addMenu(text(key));
        for (const char* name : names) {
            if (name == nullptr)
                menu->addSeparator();
            else
                menu->addAction(action(name));
        }
        connect(menu, &QMenu::aboutToShow, this, &ApplicationHandler::validateMenuItems);
    };
    addMenu("MenuFileTitle", {"newDocument", "openDocument", "openLeft", "openRight", nullptr, "saveDocument",
                              "saveDocumentAs", nullptr, "printDocument", nullptr, "closeWindow", "quit"});
    addMenu("MenuStereoTitle", {"glassesRG", "glassesRC", "glassesRB", "glassesGR", "glassesCR", "glassesBR", nullptr,
                                "colorize", nullptr, "incDepth", "decDepth", "incVerticalOffset", "decVerticalOffset",
                                "resetAlignment", nullptr, "switchPictures"});
    addMenu("MenuViewTitle", {"showLeft", "showRight", "showResult"});
    addMenu("MenuHelpTitle", {"webSite", "faq", "mailToAuthor", nullptr, "about"});
    // The shortcuts must reach the actions even while the menus are closed.
    window->addActions(actions_);
}

void ApplicationHandler::validateMenuItems()
{
    for (QAction* a : actions_)
        a->setEnabled(validateMenuItem(a));
}

bool ApplicationHandler::validateMenuItem(QAction* item)
{
    const int tag = item->data().toInt();
    MyDocument* document = keyDocument();
    if (!document)
        return tag == 100 || tag == 101;
    if (tag >= tagGlassesFirst && tag <= tagGlassesLast) {
        item->setChecked(tag == document->model().glasses());
        return true;
    }
    if (tag == tagColor) {
        item->setChecked(document->model().colorize());
        return true;
    }
    switch (tag) {
    case 20:
    case 21:
    case 30:
    case 31:
    case 32:
    case 33:
    case 34:
        return document->model().hasResult();
    case 22:
        return false;
    case 25:
        return document->validateUserInterfaceItem(25);
    default:
        return true;
    }
}

void ApplicationHandler::documentAdded(MyDocument* document)
{
    installMenus(document);
    connect(document, &MyDocument::stateChanged, this, [this, document] {
        if (keyDocument() == document)
            validateMenuItems();
    });
    validateMenuItems();
}

void ApplicationHandler::forward(void (StereoDocument::*command)())
{
    if (MyDocument* d = keyDocument())
        (d->model().*command)();
}

void ApplicationHandler::set3DColor()
{
    forward(&StereoDocument::set3DColor);
}

void ApplicationHandler::set3DGlasses(QAction* sender)
{
    if (MyDocument* d = keyDocument())
        d->model().set3DGlasses(sender ? sender->data().toInt() : 0);
    validateMenuItems();  // a checkable item toggles itself; put the marks right
}

void ApplicationHandler::resetAlignment()
{
    forward(&StereoDocument::resetAlignment);
}

void ApplicationHandler::decDepth()
{
    forward(&StereoDocument::decDepth);
}

void ApplicationHandler::incDepth()
{
    forward(&StereoDocument::incDepth);
}

void ApplicationHandler::decVerticalOffset()
{
    forward(&StereoDocument::decVerticalOffset);
}

void ApplicationHandler::incVerticalOffset()
{
    forward(&StereoDocument::incVerticalOffset);
}

void ApplicationHandler::switchPictures()
{
    forward(&StereoDocument::switchPictures);
}

void ApplicationHandler::openLeft()
{
    openIntoLeft = true;
    openDocument();
}

void ApplicationHandler::openRight()
{
    openIntoLeft = false;
    openDocument();
}

bool ApplicationHandler::openLeftSide()
{
    return openIntoLeft;
}

void ApplicationHandler::openDocument()
{
    MyDocument* document = keyDocument();
    if (!document)
        document = documents_.openUntitledDocument();
    if (!document)
        return;
    if (openIntoLeft)
        document->openLeft();
    else
        document->openRight();
}

int ApplicationHandler::editedWindowCount() const
{
    int count = 0;
    for (MyDocument* d : documents_.documents())
        if (d->isDocumentEdited())
            ++count;
    return count;
}

int ApplicationHandler::askAboutUnsavedDocuments(int count)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Korvex"), localizedString("QuitUnsaved").arg(count));
    box.setInformativeText(localizedString("QuitDataLoss"));
    QPushButton* review = box.addButton(localizedString("Review"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(localizedString("Discard"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(localizedString("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(review);
    box.setEscapeButton(cancel);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    if (box.clickedButton() == review)
        return 1;
    if (box.clickedButton() == cancel)
        return -1;
    return discard ? 0 : 0;
}

ApplicationHandler::TerminateReply ApplicationHandler::applicationShouldTerminate()
{
    const int count = editedWindowCount();
    if (count == 0)
        return TerminateNow;
    if (count >= 2) {
        const int answer = askAboutUnsavedDocuments(count);
        if (answer == -1)
            return TerminateCancel;
        if (answer != 1)
            return TerminateNow;  // Discard: every unsaved change is given up
    }
    terminationPending_ = true;
    reviewChangesAndQuitEnumeration(true);
    return terminationPending_ ? TerminateLater : TerminateNow;
}

void ApplicationHandler::reviewChangesAndQuitEnumeration(bool proceed)
{
    ApplicationHandler* handler = theHandler;
    if (!handler)
        return;
    if (proceed) {
        const QList<MyDocument*> documents = handler->documents_.documents();
        for (auto it = documents.rbegin(); it != documents.rend(); ++it) {
            if ((*it)->isDocumentEdited()) {
                (*it)->askToSaveAndQuit(true);
                return;
            }
        }
    }
    handler->replyToApplicationShouldTerminate(proceed);
}

void ApplicationHandler::replyToApplicationShouldTerminate(bool terminate)
{
    if (!terminationPending_)
        return;
    terminationPending_ = false;
    if (terminate)
        emit terminationApproved();
    else
        emit terminationCancelled();
}

void ApplicationHandler::terminate()
{
    switch (applicationShouldTerminate()) {
    case TerminateNow:
        emit terminationApproved();
        break;
    case TerminateCancel:
        emit terminationCancelled();
        break;
    case TerminateLater:
        break;  // the review's last answer decides
    }
}

void ApplicationHandler::showAboutPanel()
{
    if (!aboutWindow_)
        aboutWindow_ = new AboutWindow;
    aboutWindow_->show();
    aboutWindow_->raise();
    aboutWindow_->activateWindow();
}

QDialog* ApplicationHandler::aboutWindow() const
{
    return aboutWindow_;
}

void ApplicationHandler::goToWebSite()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(links::webSite)));
}

void ApplicationHandler::showFAQ()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(links::faq)));
}

void ApplicationHandler::mailToAuthor()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(links::authorMail)));
}

}  // namespace korvex
