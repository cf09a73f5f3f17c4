#include "core/align/PairAlignment.h"

#include "core/align/OpenCvPictures.h"

#include <opencv2/calib3d.hpp>
#include <opencv2/features2d.hpp>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace korvex {

namespace {

constexpr float ratioTest = 0.8f;

struct Features {
    std::vector<cv::Point2d> positions;  // full-size pixel positions
    cv::Mat descriptors;
};

// Features of a picture of fullWide x fullHigh pixels, found on bitmap,
// the picture itself or a reduced copy of it.
Features detect(const Bitmap& bitmap, int fullWide, int fullHigh)
{
    const double factor = std::min(1.0, double(PairAlignment::studiedSide) / std::max(bitmap.pixelsWide(), bitmap.pixelsHigh()));
    const cv::Mat grey = opencv::reducedGrey(bitmap, factor);
    std::vector<cv::KeyPoint> keypoints;
    Features features;
    cv::ORB::create(5000, 1.2f, 8, 31, 0, 2, cv::ORB::HARRIS_SCORE, 31, 12)
        ->detectAndCompute(grey, cv::noArray(), keypoints, features.descriptors);
    // Pixel centres: a reduced pixel covers full pixels symmetrically.
    const double sx = double(fullWide) / grey.cols;
    const double sy = double(fullHigh) / grey.rows;
    for (const cv::KeyPoint& k : keypoints)
        features.positions.emplace_back((k.pt.x + 0.5) * sx - 0.5, (k.pt.y + 0.5) * sy - 0.5);
    return features;
}

struct Match {
    cv::Point2d left, right;
};

std::vector<Match> matchFeatures(const Features& left, const Features& right)
{
    std::vector<Match> matches;
    if (left.descriptors.rows < 2 || right.descriptors.rows < 2)
        return matches;
    std::vector<std::vector<cv::DMatch>> candidates;
    cv::BFMatcher(cv::NORM_HAMMING).knnMatch(right.descriptors, left.descriptors, candidates, 2);
    for (const auto& pair : candidates) {
        if (pair.size() == 2 && pair[0].distance < ratioTest * pair[1].distance)
            matches.push_back({left.positions[pair[0].trainIdx], right.positions[pair[0].queryIdx]});
    }
    return matches;
}

double percentile(std::vector<double> values, double p)
{
    const std::size_t k = std::min(values.size() - 1, std::size_t(std::lround(p / 100.0 * double(values.size() - 1))));
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(k), values.end());
    return values[k];
}

// The right picture's rotation-and-scale (a = s cos, b = s sin) and vertical
// shift, fitted to the vertical positions only: horizontal differences are
// the depth and must stay.
struct VerticalFit {
    double a = 1.0, b = 0.0, shift = 0.0;

    double rowOf(const cv::Point2d& right, const cv::Point2d& centre) const
    {
        return b * (right.x - centre.x) + a * (right.y - centre.y) + centre.y + shift;
    }
    double columnOf(const cv::Point2d& right, const cv::Point2d& centre) const
    {
        return a * (right.x - centre.x) - b * (right.y - centre.y) + centre.x;
    }
};

bool fitVertical(const std::vector<Match>& matches, const std::vector<bool>& use, const cv::Point2d& centre,
                 VerticalFit& fit)
{
    cv::Matx33d normal = cv::Matx33d::zeros();
    cv::Vec3d rhs(0, 0, 0);
    for (std::size_t i = 0; i < matches.size(); ++i) {
        if (!use[i])
            continue;
        const cv::Vec3d row(matches[i].right.y - centre.y, matches[i].right.x - centre.x, 1.0);
        normal += row * row.t();
        rhs += row * (matches[i].left.y - centre.y);
    }
    cv::Vec3d solution;
    if (!cv::solve(normal, rhs, solution, cv::DECOMP_CHOLESKY) || !std::isfinite(solution[0]))
        return false;
    fit = VerticalFit{solution[0], solution[1], solution[2]};
    return true;
}

PairAlignment refused(std::string reason, int matches = 0, int inliers = 0)
{
    PairAlignment result;
    result.failure = "could not align: " + std::move(reason);
    result.matches = matches;
    result.inliers = inliers;
    return result;
}

std::string fewPoints(int count)
{
    return "only " + std::to_string(count) + (count == 1 ? " point" : " points") + " in common";
}

struct FullSize {
    int wide, high;
};

PairAlignment alignMatches(const std::vector<Match>& matches, FullSize left, FullSize right)
{
    const int matchCount = int(matches.size());
    if (matchCount < PairAlignment::minimumInliers)
        return refused(fewPoints(matchCount), matchCount);

    // A loose similarity first, only to drop matches that agree with nothing:
    // its tolerance leaves room for the parallax of near and far things.
    std::vector<cv::Point2d> from, to;
    for (const Match& m : matches) {
        from.push_back(m.right);
        to.push_back(m.left);
    }
    std::vector<uchar> consensus;
    const double looseTolerance = 0.05 * std::max(left.wide, left.high);
    const cv::Mat rough = cv::estimateAffinePartial2D(from, to, consensus, cv::RANSAC, looseTolerance, 4000, 0.999, 0);
    if (rough.empty())
        return refused(fewPoints(0), matchCount);

    const cv::Point2d centre((right.wide - 1) / 2.0, (right.high - 1) / 2.0);
    const auto roughRow = [&](const cv::Point2d& p) {
        return rough.at<double>(1, 0) * p.x + rough.at<double>(1, 1) * p.y + rough.at<double>(1, 2);
    };
    std::vector<bool> use(matches.size());
    const double firstTolerance = std::max(2.0, 0.01 * left.high);
    for (std::size_t i = 0; i < matches.size(); ++i)
        use[i] = consensus[i] && std::abs(matches[i].left.y - roughRow(matches[i].right)) < firstTolerance;

    // Least squares on the vertical residuals, dropping what lies beyond
    // three robust deviations, until the kept set settles.
    VerticalFit fit;
    std::vector<double> residuals;
    for (int round = 0; round < 10; ++round) {
        if (std::count(use.begin(), use.end(), true) < PairAlignment::minimumInliers
            || !fitVertical(matches, use, centre, fit))
            break;
        residuals.clear();
        for (std::size_t i = 0; i < matches.size(); ++i) {
            if (use[i])
                residuals.push_back(std::abs(matches[i].left.y - fit.rowOf(matches[i].right, centre)));
        }
        const double tolerance = std::max(1.0, 3.0 * 1.4826 * percentile(residuals, 50.0));
        bool settled = true;
        for (std::size_t i = 0; i < matches.size(); ++i) {
            const bool keep = consensus[i] && std::abs(matches[i].left.y - fit.rowOf(matches[i].right, centre)) < tolerance;
            settled = settled && keep == use[i];
            use[i] = keep;
        }
        if (settled)
            break;
    }
    const int inliers = int(std::count(use.begin(), use.end(), true));
    if (inliers < PairAlignment::minimumInliers || !fitVertical(matches, use, centre, fit))
        return refused(fewPoints(inliers), matchCount, inliers);

    PairAlignment result;
    result.matches = matchCount;
    result.inliers = inliers;
    result.rotationDegrees = std::atan2(fit.b, fit.a) * 180.0 / std::numbers::pi;
    result.scale = std::hypot(fit.a, fit.b);
    result.verticalShift = fit.shift;
    if (std::abs(result.rotationDegrees) > PairAlignment::maximumRotationDegrees)
        return refused("the pictures are turned by more than 15° against each other", matchCount, inliers);
    if (std::abs(result.scale - 1.0) > PairAlignment::maximumScaleChange)
        return refused("the pictures differ in scale by more than 20 %", matchCount, inliers);

    std::vector<double> crossed;
    residuals.clear();
    for (std::size_t i = 0; i < matches.size(); ++i) {
        if (!use[i])
            continue;
        crossed.push_back(matches[i].left.x - fit.columnOf(matches[i].right, centre));
        residuals.push_back(std::abs(matches[i].left.y - fit.rowOf(matches[i].right, centre)));
    }
    result.residual = percentile(residuals, 50.0);
    result.crossedNearest = percentile(crossed, 98.0);
    result.crossedFarthest = percentile(crossed, 2.0);
    result.aligned = true;
    return result;
}

}  // namespace

PairAlignment PairAlignment::find(const Bitmap& left, const Bitmap& right, std::stop_token stop)
{
    return find(Study{left, left.pixelsWide(), left.pixelsHigh()}, Study{right, right.pixelsWide(), right.pixelsHigh()},
                stop);
}

PairAlignment PairAlignment::find(const Study& left, const Study& right, std::stop_token stop)
{
    for (const Study* picture : {&left, &right}) {
        if (picture->fullWide < minimumSide || picture->fullHigh < minimumSide)
            return refused("the pictures must be at least 32 pixels on each side");
    }
    try {
        const Features leftFeatures = detect(left.picture, left.fullWide, left.fullHigh);
        if (stop.stop_requested())
            return refused("cancelled");
        const Features rightFeatures = detect(right.picture, right.fullWide, right.fullHigh);
        if (stop.stop_requested())
            return refused("cancelled");
        return alignMatches(matchFeatures(leftFeatures, rightFeatures), FullSize{left.fullWide, left.fullHigh},
                            FullSize{right.fullWide, right.fullHigh});
    } catch (const cv::Exception& e) {
        return refused(e.msg);
    } catch (const std::bad_alloc&) {
        return refused("not enough memory");
    }
}

}  // namespace korvex
