#include "ui/qt/OptionListView.h"

#include <QHeaderView>
#include <QStyledItemDelegate>

#include <exception>

namespace quorvex {
namespace {

const QColor kGreyCaption(128, 128, 128);
const QColor kGroupCaption(0, 51, 153);

class TOptionRowDelegate final : public QStyledItemDelegate {
public:
    explicit TOptionRowDelegate(TOptionListView* view) : QStyledItemDelegate(view), view_(view) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!index.parent().isValid()) {
            option->font.setBold(true);
            option->palette.setColor(QPalette::Text, kGroupCaption);
            return;
        }
        if (view_->DrawsGrey(view_->IndexOf(view_->itemFromIndex(index))))
            option->palette.setColor(QPalette::Text, kGreyCaption);
    }

private:
    TOptionListView* view_;
};

}  // namespace

TOptionListView::TOptionListView(QWidget* parent) : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setVisible(false);
    header()->setStretchLastSection(false);
    setItemDelegate(new TOptionRowDelegate(this));
    connect(model(), &QAbstractItemModel::dataChanged, this, &TOptionListView::OnDataChanged);
}

int TOptionListView::Count() const
{
    int count = 0;
    for (int group = 0; group < topLevelItemCount(); ++group)
        count += topLevelItem(group)->childCount();
    return count;
}

QTreeWidgetItem* TOptionListView::Item(int index) const
{
    if (index < 0)
        return nullptr;
    for (int group = 0; group < topLevelItemCount(); ++group) {
        QTreeWidgetItem* groupItem = topLevelItem(group);
        if (index < groupItem->childCount())
            return groupItem->child(index);
        index -= groupItem->childCount();
    }
    return nullptr;
}

int TOptionListView::IndexOf(const QTreeWidgetItem* item) const
{
    if (item == nullptr || item->parent() == nullptr)
        return -1;
    int index = item->parent()->indexOfChild(const_cast<QTreeWidgetItem*>(item));
    for (int group = 0; group < topLevelItemCount() && topLevelItem(group) != item->parent(); ++group)
        index += topLevelItem(group)->childCount();
    return index;
}

QString TOptionListView::Caption(int index) const
{
    const QTreeWidgetItem* item = Item(index);
    return item != nullptr ? item->text(0) : QString();
}

void TOptionListView::SetCaption(int index, const QString& caption)
{
    if (QTreeWidgetItem* item = Item(index))
        item->setText(0, caption);
}

bool TOptionListView::Checked(int index) const
{
    const QTreeWidgetItem* item = Item(index);
    return item != nullptr && item->checkState(0) == Qt::Checked;
}

void TOptionListView::SetChecked(int index, bool checked)
{
    if (QTreeWidgetItem* item = Item(index))
        item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

bool TOptionListView::AnyTicked() const
{
    for (int index = 0; index < Count(); ++index) {
        if (Checked(index))
            return true;
    }
    return false;
}

void TOptionListView::UntickAll()
{
    for (int index = 0; index < Count(); ++index)
        SetChecked(index, false);
}

void TOptionListView::TickAll()
{
    for (int index = 0; index < Count(); ++index)
        SetChecked(index, true);
}

void TOptionListView::SetGreyRule(std::function<bool(int)> rule)
{
    greyRule_ = std::move(rule);
    viewport()->update();
}

bool TOptionListView::DrawsGrey(int index) const
{
    if (!greyRule_ || index < 0)
        return false;
    try {
        return greyRule_(index);
    } catch (const std::exception&) {
        return true;
    }
}

void TOptionListView::SetDrawScope(std::function<void(const std::function<void()>& draw)> scope)
{
    drawScope_ = std::move(scope);
}

void TOptionListView::paintEvent(QPaintEvent* event)
{
    if (drawScope_)
        drawScope_([this, event] { QTreeWidget::paintEvent(event); });
    else
        QTreeWidget::paintEvent(event);
}

void TOptionListView::rowsInserted(const QModelIndex& parent, int start, int end)
{
    QTreeWidget::rowsInserted(parent, start, end);
    // Groups are always open: the list has no way to collapse them.
    if (parent.isValid()) {
        expand(parent);
        return;
    }
    for (int row = start; row <= end; ++row) {
        setFirstColumnSpanned(row, QModelIndex(), true);
        expand(model()->index(row, 0));
    }
}

void TOptionListView::OnDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                    const QList<int>& roles)
{
    if (!roles.isEmpty() && !roles.contains(Qt::CheckStateRole))
        return;
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        const int index = IndexOf(itemFromIndex(model()->index(row, 0, topLeft.parent())));
        if (index >= 0)
            emit ItemChecked(index);
    }
}

}  // namespace quorvex

