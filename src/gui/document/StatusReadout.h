#pragma once

#include <QLabel>

namespace korvex {

class PictureStore;
class StereoDocument;

// The status bar's readout of the alignment and settings, always current:
// "Depth +12 px · Vertical −3 px · Red–Cyan colour · 1280 × 1100".
class StatusReadout : public QLabel {
    Q_OBJECT

public:
    explicit StatusReadout(QWidget* parent = nullptr);

    void showState(const StereoDocument& model, const PictureStore& left, const PictureStore& right,
                   const PictureStore& result);
    static QString textFor(const StereoDocument& model, const PictureStore& left, const PictureStore& right,
                           const PictureStore& result);
};

}  // namespace korvex
