#include "gui/document/ColourMixingDialog.h"

#include "core/compose/MixingMatrixText.h"
#include "gui/common/Strings.h"
#include "gui/document/MyDocument.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace korvex {

namespace {

constexpr int resultTab = 2;

// The methods whose matrices can start a custom mixing, with their text keys.
struct Preset {
    AnaglyphMethod method;
    const char* textKey;
};
constexpr Preset presets[] = {
    {AnaglyphMethod::Custom, "MixingPresetCurrent"},     {AnaglyphMethod::Grey, "MenuMethodGrey"},
    {AnaglyphMethod::HalfColour, "MenuMethodHalfColour"}, {AnaglyphMethod::Colour, "MenuMethodColour"},
    {AnaglyphMethod::Dubois, "MenuMethodDubois"},
};

const char* const channelKeys[] = {"MixingRed", "MixingGreen", "MixingBlue"};

QString plainText(const char* key)
{
    return localizedString(key).remove(QLatin1Char('&'));
}

}  // namespace

void ColourMixingDialog::open(MyDocument& document)
{
    if (auto* open = document.findChild<ColourMixingDialog*>()) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto* dialog = new ColourMixingDialog(document);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->QDialog::open();
}

ColourMixingDialog::ColourMixingDialog(MyDocument& document)
    : QDialog(&document),
      document_(document),
      formerMethod_(document.model().anaglyphMethod()),
      formerMatrices_(document.model().customMatrices()),
      formerState_(document.model().state()),
      formerMark_(document.editedMark())
{
    setWindowTitle(plainText("MenuColourMixing").remove(QChar(0x2026)));
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);

    presets_ = new QComboBox(this);
    presets_->setObjectName(QStringLiteral("presetList"));
    presets_->setAccessibleName(localizedString("MixingPreset"));
    const int glasses = document.model().glasses();
    for (const Preset& preset : presets)
        if (isMethodAvailable(preset.method, glasses))
            presets_->addItem(plainText(preset.textKey), int(preset.method));
    auto* presetLabel = new QLabel(localizedString("MixingPreset"), this);
    presetLabel->setBuddy(presets_);
    layout->addWidget(presetLabel);
    layout->addWidget(presets_);

    // One grid per picture: rows are the result's channels, columns the picture's.
    for (const bool left : {true, false}) {
        const QString side = localizedString(left ? "MixingLeft" : "MixingRight");
        layout->addWidget(new QLabel(side, this));
        auto* grid = new QGridLayout;
        for (int column = 0; column < 3; ++column)
            grid->addWidget(new QLabel(localizedString(channelKeys[column]), this), 0, column + 1);
        for (int row = 0; row < 3; ++row) {
            grid->addWidget(new QLabel(localizedString("MixingInto").arg(localizedString(channelKeys[row])), this),
                            row + 1, 0);
            for (int column = 0; column < 3; ++column) {
                auto* box = new QSpinBox(this);
                box->setRange(-mixingValueLimit, mixingValueLimit);
                box->setSingleStep(10);
                box->setObjectName(QStringLiteral("%1%2%3").arg(left ? QStringLiteral("left") : QStringLiteral("right")).arg(row).arg(column));
                box->setAccessibleName(localizedString("MixingBoxName")
                                           .arg(side, localizedString(channelKeys[row]), localizedString(channelKeys[column])));
                grid->addWidget(box, row + 1, column + 1);
                boxes_[std::size_t((left ? 0 : 9) + row * 3 + column)] = box;
                connect(box, &QSpinBox::valueChanged, this, &ColourMixingDialog::preview);
            }
        }
        layout->addLayout(grid);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    setMatrices(formerMatrices_);
    connect(presets_, &QComboBox::activated, this, &ColourMixingDialog::choosePreset);
    // The preview shows in the result tab.
    document.tabView()->setCurrentIndex(resultTab);
    preview();
}

QSpinBox* ColourMixingDialog::spinBox(bool left, int row, int column) const
{
    return boxes_[std::size_t((left ? 0 : 9) + row * 3 + column)];
}

MixingMatrices ColourMixingDialog::matrices() const
{
    MixingMatrices m;
    for (std::size_t i = 0; i < 9; ++i) {
        m.left[i] = boxes_[i]->value();
        m.right[i] = boxes_[i + 9]->value();
    }
    return m;
}

void ColourMixingDialog::setMatrices(const MixingMatrices& m)
{
    // One recomposition for the whole matrix, not one per box.
    filling_ = true;
    for (std::size_t i = 0; i < 9; ++i) {
        boxes_[i]->setValue(m.left[i]);
        boxes_[i + 9]->setValue(m.right[i]);
    }
    filling_ = false;
    preview();
}

void ColourMixingDialog::choosePreset(int index)
{
    if (index < 0 || index >= presets_->count())
        return;
    const auto method = AnaglyphMethod(presets_->itemData(index).toInt());
    const auto mixing = channelMixing(method, document_.model().glasses(), formerMatrices_);
    if (mixing)
        setMatrices(mixing->matrices);
}

void ColourMixingDialog::preview()
{
    if (filling_)
        return;
    StereoDocument& model = document_.model();
    model.setCustomMatrices(matrices());
    model.setAnaglyphMethod(AnaglyphMethod::Custom);
}

void ColourMixingDialog::accept()
{
    document_.recordChange("UndoColourMixing", formerState_);
    QDialog::accept();
}

void ColourMixingDialog::reject()
{
    StereoDocument& model = document_.model();
    model.setCustomMatrices(formerMatrices_);
    model.setAnaglyphMethod(formerMethod_);
    // The previews were no change of the document's own.
    document_.restoreEditedMark(formerMark_);
    QDialog::reject();
}

}  // namespace korvex
