#pragma once

#include <QAccessibleWidget>

class QComboBox;

namespace korvex {

// Qt's own accessible combo box takes its current text as its name on Linux,
// leaving the name to a label's relation, so a pop-up without a label (the
// zoom pop-up beside the scroll bar) reads as "100%" to a screen reader. This
// one answers the box's accessible name where it has one, keeps the current
// text as the value, and opens the list by the press and show-menu actions.
class NamedComboBoxAccessible : public QAccessibleWidget {
public:
    explicit NamedComboBoxAccessible(QComboBox* box);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

    // Serves every combo box that cannot be edited from now on; once, before
    // the first window.
    static void install();

private:
    QComboBox* box() const;
};

}  // namespace korvex
