#include "gui/document/MyDocument.h"

#include "core/io/AtomicFileWriter.h"
#include "core/compose/ResultFileTypes.h"
#include "gui/common/Strings.h"
#include "gui/document/CommandTable.h"
#include "gui/document/AutoAligner.h"
#include "gui/document/BackgroundComposition.h"
#include "gui/document/DocumentActions.h"
#include "gui/document/DocumentToolbar.h"
#include "gui/document/StatusReadout.h"
#include "gui/document/DocumentPrinting.h"
#include "gui/document/DocumentZoom.h"
#include "gui/document/PictureLoading.h"
#include "gui/document/RecentMenu.h"
#include "gui/document/WindowDrop.h"
#include "gui/imageview/ImageView.h"
#include "gui/zoom/ZoomScrollView.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QFile>
#include <QSettings>
#include <QSizeGrip>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QUndoStack>

#include <optional>
#include <utility>

namespace korvex {

namespace {

constexpr auto tabIdentifierProperty = "tabIdentifier";
constexpr auto windowFrameKey = "MainWindow";

ZoomScrollView* addPictureTab(QTabWidget* tabs, ImageView* view, const QString& label, const QString& identifier)
{
    auto* scroll = new ZoomScrollView(tabs);
    scroll->setWidget(view);
    scroll->setProperty(tabIdentifierProperty, identifier);
    tabs->addTab(scroll, label);
    return scroll;
}

QString fromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// The save panel's filter for one result type, e.g. "PNG picture (*.png)".
QString saveFilter(const ResultFileType& type)
{
    QStringList patterns;
    for (std::string_view extension : type.extensions)
        patterns << QStringLiteral("*.") + fromView(extension);
    return localizedString("SaveTypeFilter").arg(fromView(type.typeName), patterns.join(QLatin1Char(' ')));
}

}  // namespace

MyDocument::MyDocument(UserDefaults& defaults, QWidget* parent)
    : QMainWindow(parent), defaults_(defaults)
{
    setAttribute(Qt::WA_DeleteOnClose);
    tabView_ = new QTabWidget(this);
    tabView_->setDocumentMode(true);
    leftImage_ = new ImageView;
    rightImage_ = new ImageView;
    resultImage_ = new ImageView;
    leftScroll_ = addPictureTab(tabView_, leftImage_, localizedString("TabLeft"), QStringLiteral("1"));
    rightScroll_ = addPictureTab(tabView_, rightImage_, localizedString("TabRight"), QStringLiteral("2"));
    resultScroll_ = addPictureTab(tabView_, resultImage_, localizedString("TabResult"), QStringLiteral("3"));
    tabView_->setCurrentIndex(0);
    setCentralWidget(tabView_);
    // Screen readers name each view by its picture.
    const std::pair<ImageView*, const char*> viewNames[] = {
        {leftImage_, "AccLeftPicture"}, {rightImage_, "AccRightPicture"}, {resultImage_, "AccAnaglyph"}};
    for (const auto& [view, key] : viewNames) {
        view->setAccessibleName(localizedString(key));
        view->setAccessibleDescription(localizedString(view == resultImage_ ? "AccResultHint" : "AccPictureHint"));
    }
    tabView_->setAccessibleName(localizedString("AccPictures"));
    readout_ = new StatusReadout;
    statusBar()->addPermanentWidget(readout_);
    if (auto* grip = statusBar()->findChild<QSizeGrip*>())
        grip->setAccessibleName(localizedString("AccSizeGrip"));

    model_ = std::make_unique<StereoDocument>(leftImage_->store(), rightImage_->store(), resultImage_->store(), *this,
                                              defaults_);
    autoAligner_ = new AutoAligner(*this, defaults_);
    zoom_ = new DocumentZoom(*this, defaults_);
    printing_ = new DocumentPrinting(*this);
    undoStack_ = new QUndoStack(this);
    trackUndoState();
    composition_ = new BackgroundComposition(*model_, *resultImage_, this);
    loading_ = new PictureLoading(*this);
    model_->setCompositionScheduler(composition_);
    // A replaced picture stays while work off the window's thread may read it.
    for (ImageView* view : {leftImage_, rightImage_})
        view->store().setRetireHandler([this](std::unique_ptr<Bitmap> old) {
            const std::shared_ptr<Bitmap> picture(std::move(old));
            autoAligner_->keepWhileSearching(picture);
            composition_->retire(picture);
        });
    // What reads the result (the readout, Print) learns when the whole of it is in.
    connect(composition_, &BackgroundComposition::resultLanded, this, &MyDocument::stateChanged);
    actions_ = new DocumentActions(*this);
    actions_->installMenus(menuBar());
    connect(this, &MyDocument::stateChanged, actions_, &DocumentActions::updateActions);
    connect(this, &MyDocument::stateChanged, readout_, [this] {
        readout_->showState(*model_, leftImage_->store(), rightImage_->store(), resultImage_->store());
    });
    resize(900, 700);
    setDisplayName(localizedString("Untitled"));
}

MyDocument::~MyDocument()
{
    closed_ = true;
    emit destroying(this);
    // The background composition and the searches read the pictures, an
    // undo step's too (a load during a search): they end before any goes.
    model_->setCompositionScheduler(nullptr);
    delete composition_;
    composition_ = nullptr;
    autoAligner_->finishSearches();
    for (ImageView* view : {leftImage_, rightImage_})
        view->store().setRetireHandler({});
    // The stack's steps go while the model they name is still whole, and
    // without telling a window that is being taken apart.
    undoStack_->disconnect(this);
    delete undoStack_;
}

void MyDocument::loadDataRepresentation(std::vector<std::uint8_t> bytes, const QString& path)
{
    fileToLoad_ = std::move(bytes);
    fileToLoadPath_ = path;
}

bool MyDocument::isLoading() const
{
    return loading_->isLoading();
}

void MyDocument::awakeFromNib()
{
    model_->setUpFromDefaults();
    // After the defaults, so that the glasses and colour items show them.
    toolbar_ = new DocumentToolbar(*this);
    addToolBar(toolbar_);

    leftImage_->allowDrop(true);
    rightImage_->allowDrop(true);
    resultImage_->allowDrop(false);
    leftImage_->setType(LeftRole);
    rightImage_->setType(RightRole);
    resultImage_->setType(ResultRole);
    currentImage_ = leftImage_;

    for (ImageView* view : {leftImage_, rightImage_}) {
        view->setDropDecoder([this, view](QByteArray bytes) { decodeDropped(view, std::move(bytes)); });
        connect(view, &ImageView::imageHasChanged, this, [this, view] {
            reportLoad(view, localizedString("DroppedPicture"));
            zoom_->picturesArrived({view, resultImage_});
            imageHasChanged();
        });
    }
    setAcceptDrops(true);  // the rest of the window takes drops by its own rule
    new WindowDropTarget(*this);
    connect(leftImage_, &ImageView::pinHasChanged, this, &MyDocument::imageHasChanged);
    connect(rightImage_, &ImageView::pinHasChanged, this, &MyDocument::imageHasChanged);
    recordViewChanges();  // after the handlers above: a step is pushed once its change is made
    connect(tabView_, &QTabWidget::currentChanged, this, &MyDocument::tabViewDidSelectTabViewItem);
    // The pin views take the keyboard: arrows move the pin, Tab goes to the other view.
    for (ImageView* view : {leftImage_, rightImage_}) {
        view->setFocusPolicy(Qt::StrongFocus);
        connect(view, &ImageView::nextViewRequested, this, [this, view] { showPinView(view == leftImage_ ? rightImage_ : leftImage_); });
    }

    const QByteArray frame = QSettings().value(QLatin1String(windowFrameKey)).toByteArray();
    if (!frame.isEmpty())
        restoreGeometry(frame);

    zoom_->picturesArrived({leftImage_, rightImage_, resultImage_});
    if (fileToLoad_) {
        // The whole file is the left picture: never split, no change recorded.
        auto bytes = std::make_shared<const std::vector<std::uint8_t>>(std::move(*fileToLoad_));
        fileToLoad_.reset();
        loading_->start({leftImage_}, displayName_, [bytes] { return PictureLoading::one(decodeImage(*bytes)); },
                        [this, path = fileToLoadPath_](PictureLoading::Pictures pictures) {
                            if (!leftImage_->store().setDecodedImage(std::move(pictures.front())))
                                showNote(localizedString("CannotOpen").arg(displayName_, QString::fromStdString(leftImage_->store().lastError())));
                            else if (!path.isEmpty())
                                rememberOpened(defaults_, path, {});
                            zoom_->picturesArrived({leftImage_});
                            emit stateChanged();
                        });
    }
    emit stateChanged();
}

QAction* MyDocument::action(Command command) const
{
    return actions_->action(command);
}

void MyDocument::updateActions()
{
    actions_->updateActions();
}

void MyDocument::setApplicationCommands(ApplicationCommands* application)
{
    actions_->setApplicationCommands(application);
}

void MyDocument::imageHasChanged()
{
    matchesSavedState_ = false;  // a new change, which may compose and mark the window
    model_->setChanged(true);
    if (model_->resultVisible())
        model_->recalc();
    if (model_->hasResult())
        setDocumentEdited(true);
    emit stateChanged();
}

void MyDocument::tabViewDidSelectTabViewItem(int index)
{
    const QString identifier = tabView_->widget(index) ? tabView_->widget(index)->property(tabIdentifierProperty).toString()
                                                       : QString();
    if (identifier == QLatin1String("3")) {
        resultImage_->adjustFrame();
        model_->setResultVisible(true);
        currentImage_ = resultImage_;
        model_->recalc();
    } else if (identifier == QLatin1String("1")) {
        currentImage_ = leftImage_;
        leftImage_->adjustFrame();
        model_->setResultVisible(false);
    } else {
        currentImage_ = rightImage_;
        rightImage_->adjustFrame();
        model_->setResultVisible(false);
    }
    emit stateChanged();
}

void MyDocument::showPinView(ImageView* view)
{
    tabView_->setCurrentWidget(view == leftImage_ ? leftScroll_ : rightScroll_);
    view->setFocus(Qt::TabFocusReason);
}

QFileDialog* MyDocument::savePanel() const
{
    return savePanel_;
}

void MyDocument::saveResult(std::function<void(bool)> done)
{
    // One save panel per window; whoever asks while it is up learns its outcome too.
    if (done)
        savePanelWaiters_.push_back(std::move(done));
    if (savePanel_) {
        savePanel_->raise();
        savePanel_->activateWindow();
        return;
    }
    auto* panel = new QFileDialog(this, localizedString("SaveAnaglyph"));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setAcceptMode(QFileDialog::AcceptSave);
    panel->setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (const ResultFileType& type : resultFileTypes())
        filters << saveFilter(type);
    panel->setNameFilters(filters);
    const QString typeName = fileType_.isEmpty() ? fromView(resultFileTypes().front().typeName) : fileType_;
    for (const ResultFileType& type : resultFileTypes())
        if (fromView(type.typeName) == typeName) {
            panel->selectNameFilter(saveFilter(type));
            panel->setDefaultSuffix(fromView(type.extensions.front()));
        }
    const QFileInfo current(filePath_.isEmpty() ? displayName_ : filePath_);
    panel->selectFile(current.completeBaseName());
    connect(panel, &QFileDialog::filterSelected, panel, [panel](const QString& filter) {
        for (const ResultFileType& type : resultFileTypes())
            if (saveFilter(type) == filter)
                panel->setDefaultSuffix(fromView(type.extensions.front()));
    });
    panel->setWindowModality(Qt::WindowModal);
    connect(panel, &QFileDialog::finished, this, [this, panel](int result) {
        savePanel_ = nullptr;
        const QStringList files = panel->selectedFiles();
        if (result != QDialog::Accepted || files.isEmpty()) {
            finishSavePanel(false);
            return;
        }
        // An extension the name gives chooses the type; otherwise the chosen
        // filter does, and the name gets that type's extension, so that the
        // name never disagrees with the bytes.
        // A filter that takes the name's extension wins: "Wiggle (GIF)" and
        // a name ending in ".gif" make a wiggle, not a still GIF.
        const std::string chosen = QFile::encodeName(files.at(0)).toStdString();
        std::string_view type = resultFileTypes().front().typeName;
        std::optional<std::string_view> filtered;
        for (const ResultFileType& t : resultFileTypes())
            if (saveFilter(t) == panel->selectedNameFilter())
                filtered = t.typeName;
        const auto named = typeNameForPath(chosen);
        if (filtered && (!named || pathWithExtensionFor(chosen, *filtered) == chosen))
            type = *filtered;
        else if (named)
            type = *named;
        const QString path = QFile::decodeName(QByteArray::fromStdString(pathWithExtensionFor(chosen, type)));
        QString error;
        const bool saved = writeResult(path, fromView(type), &error);
        if (!saved)
            showSaveError(path, error);
        finishSavePanel(saved);
    });
    savePanel_ = panel;
    panel->open();
}

void MyDocument::finishSavePanel(bool saved)
{
    const auto waiters = std::exchange(savePanelWaiters_, {});
    for (const auto& done : waiters)
        done(saved);
}

void MyDocument::saveDocument(std::function<void(bool)> done)
{
    if (filePath_.isEmpty() || fileType_.isEmpty()) {
        saveResult(std::move(done));
        return;
    }
    QString error;
    const bool saved = writeResult(filePath_, fileType_, &error);
    if (!saved)
        showSaveError(filePath_, error);
    if (done)
        done(saved);
}

bool MyDocument::writeResult(const QString& path, const QString& typeName, QString* error)
{
    auto fail = [&](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    const EncodeResult encoded = model_->dataRepresentationOfType(typeName.toStdString());
    if (!encoded) {
        if (!model_->hasResult())
            return fail(localizedString("NoResultToSave"));
        // A result format may fail where the pair itself overlaps; then its own reason.
        return fail(model_->picturesOverlap() ? QString::fromStdString(encoded.error) : localizedString("NoOverlap"));
    }

    // Written beside the target and renamed over it only when complete, so a
    // failed save leaves any earlier file as it was. (QSaveFile takes a write
    // cut short by a full disk for success, so it is not used here.)
    const std::string failure = AtomicFileWriter::write(QFile::encodeName(path).toStdString(), encoded.data);
    if (!failure.empty())
        return fail(QString::fromStdString(failure));

    filePath_ = QFileInfo(path).absoluteFilePath();
    fileType_ = typeName;
    setDisplayName(QFileInfo(path).fileName());
    setDocumentEdited(false);
    undoStack_->setClean();
    showNote(localizedString("Saved").arg(QFileInfo(path).fileName()));
    emit stateChanged();
    return true;
}

void MyDocument::setDisplayName(const QString& name)
{
    displayName_ = name;
    setWindowTitle(name + QStringLiteral("[*] \u2014 Korvex"));
}

bool MyDocument::isShiftHeld() const
{
    return QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
}

void MyDocument::setDocumentEdited(bool edited)
{
    setWindowModified(edited && !matchesSavedState_);
}

void MyDocument::documentChanged()
{
    matchesSavedState_ = false;
    emit stateChanged();
}

void MyDocument::showToolbarPicture(ToolbarItem item, std::string_view pictureName)
{
    if (toolbar_)
        toolbar_->showPicture(item, pictureName);
}

void MyDocument::showNote(const QString& text)
{
    statusBar()->showMessage(text, 10000);
    emit noteShown(text);
}

void MyDocument::showSaveError(const QString& path, const QString& reason)
{
    auto* box = new QMessageBox(QMessageBox::Warning, windowTitle(),
                                localizedString("CannotSave").arg(QFileInfo(path).fileName()), QMessageBox::Ok, this);
    box->setInformativeText(reason);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->open();
    emit noteShown(localizedString("CannotSave").arg(QFileInfo(path).fileName()) + QLatin1Char(' ') + reason);
}

void MyDocument::saveWindowFrame()
{
    QSettings().setValue(QLatin1String(windowFrameKey), saveGeometry());
}

void MyDocument::printShowingPrintPanel(bool)
{
    if (printPanel_)
        return;
    auto* panel = new QPrintDialog(&sharedPrinter(), this);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setWindowModality(Qt::WindowModal);
    connect(panel, &QDialog::finished, this, [this](int result) {
        printPanel_ = nullptr;
        if (result == QDialog::Accepted && printTo(sharedPrinter()))
            showNote(localizedString("Printed").arg(displayName_));
    });
    printPanel_ = panel;
    panel->open();
}

bool MyDocument::printTo(QPrinter& printer)
{
    if (!currentImage_)
        return false;
    // Paper gets the whole result, exactly as a save would write it.
    if (currentImage_ == resultImage_)
        model_->completeResult();
    printer.setDocName(displayName_);
    return !currentImage_->printTo(printer).isNull();
}

}  // namespace korvex
