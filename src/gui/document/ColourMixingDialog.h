#pragma once

#include "core/compose/AnaglyphMethod.h"
#include "core/compose/DocumentState.h"
#include "gui/document/MyDocument.h"

#include <QDialog>

#include <array>

class QComboBox;
class QSpinBox;

namespace korvex {

// Stereo > Colour Mixing: the custom method's two matrices as eighteen spin
// boxes in thousandths, a preset to start from, and the result recomposed
// with every change. OK keeps the custom method and its matrices; Cancel puts
// back the method and matrices the document had, and its edited mark.
class ColourMixingDialog : public QDialog {
    Q_OBJECT

public:
    // Opens the document's dialog, window-modal, or raises the one already open.
    static void open(MyDocument& document);

    explicit ColourMixingDialog(MyDocument& document);

    MixingMatrices matrices() const;
    void setMatrices(const MixingMatrices& matrices);
    // Fills the boxes from the preset at that index of the list.
    void choosePreset(int index);

    QComboBox* presetList() const { return presets_; }
    // Row (output red, green, blue) and column (input red, green, blue) of a side's box.
    QSpinBox* spinBox(bool left, int row, int column) const;

    // OK: the mixing since the dialog opened becomes one undo step.
    void accept() override;
    void reject() override;

private:
    void preview();

    MyDocument& document_;
    const AnaglyphMethod formerMethod_;
    const MixingMatrices formerMatrices_;
    const DocumentState formerState_;
    const MyDocument::EditedMark formerMark_;
    QComboBox* presets_ = nullptr;
    std::array<QSpinBox*, 18> boxes_{};
    bool filling_ = false;
};

}  // namespace korvex
