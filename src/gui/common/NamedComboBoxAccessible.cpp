#include "gui/common/NamedComboBoxAccessible.h"

#include <QAbstractItemView>
#include <QComboBox>

namespace korvex {

namespace {

QAccessibleInterface* comboBoxFactory(const QString& className, QObject* object)
{
    auto* box = className == QLatin1String("QComboBox") ? qobject_cast<QComboBox*>(object) : nullptr;
    // An editable box keeps Qt's interface, with its line edit as a child.
    if (!box || box->isEditable())
        return nullptr;
    return new NamedComboBoxAccessible(box);
}

}  // namespace

NamedComboBoxAccessible::NamedComboBoxAccessible(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

QComboBox* NamedComboBoxAccessible::box() const
{
    return static_cast<QComboBox*>(widget());
}

QString NamedComboBoxAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && !box()->accessibleName().isEmpty())
        return box()->accessibleName();
    if (t == QAccessible::Name || t == QAccessible::Value)
        return box()->currentText();
    return QAccessibleWidget::text(t);
}

QAccessible::State NamedComboBoxAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    const bool open = box()->view()->isVisible();
    s.expandable = true;
    s.expanded = open;
    s.collapsed = !open;
    return s;
}

int NamedComboBoxAccessible::childCount() const
{
    return 1;
}

QAccessibleInterface* NamedComboBoxAccessible::child(int index) const
{
    return index == 0 ? QAccessible::queryAccessibleInterface(box()->view()) : nullptr;
}

int NamedComboBoxAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    return child && child->object() == box()->view() ? 0 : -1;
}

QStringList NamedComboBoxAccessible::actionNames() const
{
    return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
}

void NamedComboBoxAccessible::doAction(const QString& actionName)
{
    if (actionName != showMenuAction() && actionName != pressAction())
        return QAccessibleWidget::doAction(actionName);
    if (box()->view()->isVisible())
        box()->hidePopup();
    else
        box()->showPopup();
}

void NamedComboBoxAccessible::install()
{
    QAccessible::installFactory(comboBoxFactory);
}

}  // namespace korvex
