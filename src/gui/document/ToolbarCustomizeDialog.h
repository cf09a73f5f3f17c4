#pragma once

#include <QDialog>
#include <QHash>
#include <QString>
#include <QStringList>

class QAction;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace korvex {

class DocumentToolbar;

// Qt has no toolbar palette, so this is ours: the allowed items with their
// pictures and labels on the left, the arrangement on the right. Accepting
// saves the arrangement and rebuilds the toolbar of every open window.
class ToolbarCustomizeDialog : public QDialog {
    Q_OBJECT

public:
    explicit ToolbarCustomizeDialog(DocumentToolbar& toolbar, QWidget* parent = nullptr);

    QStringList arrangement() const;
    void setArrangement(const QStringList& identifiers);

    // Puts the item selected among the allowed ones after the selected row
    // of the arrangement (or at its end). An item of the document's own goes
    // in once only; spaces and separators as often as wanted.
    void addSelectedItem();
    void removeSelectedItem();
    void moveSelectedItem(int delta);
    void restoreDefaultSet();

    QListWidget* availableList() const { return available_; }
    QListWidget* arrangementList() const { return arranged_; }

    void accept() override;

private:
    QListWidgetItem* makeRow(const QString& identifier) const;
    void updateButtons();

    // Palette copies of the allowed items, owned by the dialog; only their
    // pictures and labels are shown.
    QHash<QString, QAction*> palette_;
    QListWidget* available_ = nullptr;
    QListWidget* arranged_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QPushButton* removeButton_ = nullptr;
    QPushButton* upButton_ = nullptr;
    QPushButton* downButton_ = nullptr;
};

}  // namespace korvex
