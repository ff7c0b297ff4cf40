// A report-style list with grouped rows and hidden headers, as the main
// window's option and display lists use it. Rows are addressed by their
// option index: the rows under the groups counted in order, the group rows
// not counted. Option lists carry a check box on every option row.
#pragma once

#include <QTreeWidget>

#include <functional>

namespace quorvex {

class TOptionListView : public QTreeWidget {
    Q_OBJECT
public:
    explicit TOptionListView(QWidget* parent = nullptr);

    int Count() const;
    // The option row at an index, or nullptr outside 0 .. Count() - 1.
    QTreeWidgetItem* Item(int index) const;
    // The option index of a row; -1 for a group row.
    int IndexOf(const QTreeWidgetItem* item) const;

    QString Caption(int index) const;
    void SetCaption(int index, const QString& caption);
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);

    bool AnyTicked() const;
    void UntickAll();
    void TickAll();

    // Asked just before an option row is drawn: true draws its caption grey.
    // A rule that throws draws the row grey instead of failing the paint.
    void SetGreyRule(std::function<bool(int index)> rule);
    bool DrawsGrey(int index) const;
    // Runs around each draw, so that the grey rule's reads for the rows of
    // one draw can be made once.
    void SetDrawScope(std::function<void(const std::function<void()>& draw)> scope);

signals:
    // The tick of an option row has changed (by the user or by the program).
    void ItemChecked(int index);

protected:
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void OnDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                       const QList<int>& roles);

    std::function<bool(int)> greyRule_;
    std::function<void(const std::function<void()>&)> drawScope_;
};

}  // namespace quorvex
