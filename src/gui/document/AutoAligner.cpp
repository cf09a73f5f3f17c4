#include "gui/document/AutoAligner.h"

#include "core/align/RightPictureResampler.h"
#include "gui/common/Strings.h"
#include "gui/document/MyDocument.h"
#include "gui/imageview/ImageView.h"

#include <QStatusBar>

#include <cmath>

namespace korvex {

namespace {

Size pixelSize(const Bitmap& bitmap)
{
    return Size{double(bitmap.pixelsWide()), double(bitmap.pixelsHigh())};
}

QString withCapital(const std::string& text)
{
    QString line = QString::fromStdString(text);
    if (!line.isEmpty())
        line[0] = line[0].toUpper();
    return line;
}

}  // namespace

AutoAligner::AutoAligner(MyDocument& document, UserDefaults& defaults)
    : QObject(&document), document_(document), defaults_(defaults)
{
}

AutoAligner::~AutoAligner()
{
    cancel();
}

void AutoAligner::start()
{
    cancel();
    StereoDocument& model = document_.model();
    if (!model.hasResult())
        return;
    // The worker reads the window's own pictures: no copies to wait for or
    // to hold. A picture replaced meanwhile is kept by the search's keeper.
    const Bitmap* left = model.leftImage().image();
    const Bitmap* right = model.rightImage().image();
    auto keeper = std::make_shared<Keeper>();
    std::erase_if(searches_, [](const std::weak_ptr<Keeper>& k) { return k.expired(); });
    searches_.push_back(keeper);
    Answer answer;
    answer.leftGeneration = model.leftImage().generation();
    answer.rightGeneration = model.rightImage().generation();
    answer.leftWidth = left->pixelsWide();
    const std::int32_t keptDepth = model.horizontalOffset();

    stop_ = std::stop_source();
    PooledJob<Answer> search = PooledJob<Answer>::start([seed = std::move(answer), left, right, keeper, keptDepth, stop = stop_.get_token()]() mutable {
        Answer answer = std::move(seed);
        answer.found = PairAlignment::find(*left, *right, stop);
        if (!answer.found.aligned || stop.stop_requested())
            return answer;
        answer.placed = placeAlignment(answer.found, 0.0, pixelSize(*left), pixelSize(*right), keptDepth);
        // Resampled here too, so that the window does not wait for it.
        answer.corrected = resampleRightPicture(*right, answer.placed.placement.correction);
        return answer;
    });
    running_ = new QFutureWatcher<void>(this);
    connect(running_, &QFutureWatcher<void>::finished, this, [this, watcher = running_, search]() mutable {
        if (watcher != running_)
            return;
        running_ = nullptr;
        watcher->deleteLater();
        apply(search.takeResult());
    });
    running_->setFuture(search.future());
    std::erase_if(unfinished_, [](const PooledJob<Answer>& s) { return s.isFinished(); });
    unfinished_.push_back(std::move(search));
    document_.statusBar()->showMessage(localizedString("Aligning"));
}

void AutoAligner::cancel()
{
    if (!running_)
        return;
    stop_.request_stop();
    running_->disconnect(this);
    running_->deleteLater();
    running_ = nullptr;
    document_.statusBar()->clearMessage();
}

void AutoAligner::finishSearches()
{
    cancel();
    for (PooledJob<Answer>& search : unfinished_)
        search.waitForFinished();
    unfinished_.clear();
}

void AutoAligner::apply(Answer answer)
{
    StereoDocument& model = document_.model();
    // Pictures replaced meanwhile (a drop, a switch): the answer is about others.
    if (answer.leftGeneration != model.leftImage().generation()
        || answer.rightGeneration != model.rightImage().generation()) {
        document_.statusBar()->clearMessage();
        return;
    }
    if (!answer.found.aligned) {
        document_.statusBar()->showMessage(withCapital(answer.found.failure), 10000);
        emit finished(false);
        return;
    }
    if (answer.corrected)
        model.adoptCorrectedRightPicture(answer.placed.placement.correction, answer.rightGeneration,
                                         std::move(answer.corrected));
    document_.changeUndoably("UndoAutoAlign", UndoMerge::None, [&] { model.setPlacement(answer.placed.placement); });
    // The pins moved to the centres.
    document_.leftImage()->update();
    document_.rightImage()->update();
    document_.statusBar()->showMessage(describe(answer.found, answer.placed, answer.leftWidth));
    emit finished(true);
}

void AutoAligner::keepWhileSearching(const std::shared_ptr<Bitmap>& picture)
{
    for (const std::weak_ptr<Keeper>& search : searches_) {
        if (const std::shared_ptr<Keeper> keeper = search.lock()) {
            std::lock_guard lock(keeper->mutex);
            keeper->pictures.push_back(picture);
        }
    }
}

void AutoAligner::picturesLoaded()
{
    cancel();
    if (alignOnLoad() && document_.model().hasResult())
        start();
}

bool AutoAligner::alignOnLoad() const
{
    return defaults_.boolForKey(alignOnLoadKey).value_or(false);
}

void AutoAligner::setAlignOnLoad(bool on)
{
    defaults_.setBool(alignOnLoadKey, on);
}

QString AutoAligner::describe(const PairAlignment& found, const PlacedAlignment& placed, double leftWidth)
{
    const double percent = leftWidth > 0 ? 100.0 / leftWidth : 0.0;
    // A true minus sign, as the status bar is read, not parsed.
    const auto number = [](double value, int decimals) {
        if (std::abs(value) < 0.5 * std::pow(10.0, -decimals))
            value = 0.0;  // no "-0.00"
        QString text = QString::number(value, 'f', decimals);
        if (text.startsWith(QLatin1Char('-')))
            text.replace(0, 1, QChar(0x2212));
        return text;
    };
    return localizedString("Aligned")
        .arg(number(found.rotationDegrees, 2), number(found.scale, 3), number(found.residual, 1),
             number(placed.nearestParallax * percent, 1), number(placed.farthestParallax * percent, 1));
}

}  // namespace korvex
