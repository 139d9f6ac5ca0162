#include "gui/Touch.h"

#include <QAbstractItemView>
#include <QStyledItemDelegate>

#include "platform/registry/Registry.h"
#include "util/Util.h"

namespace gui {

namespace {

std::optional<bool> g_hostChoice;

class TallRows : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(std::max(s.height(), kMinTarget));
        return s;
    }
};

}  // namespace

bool TouchMode() {
    if (g_hostChoice) return *g_hostChoice;
    const auto value = reg::GetDword(reg::HKEY_LOCAL_MACHINE, kProductKey, "TouchMode");
    return value && *value != 0;
}

void SetTouchMode(std::optional<bool> on) { g_hostChoice = on; }

void UseTallRows(QAbstractItemView& view) {
    if (view.itemDelegate() && dynamic_cast<TallRows*>(view.itemDelegate())) return;
    view.setItemDelegate(new TallRows(&view));
}

const char* TouchStyleSheet() {
    return "QTabBar::tab { min-height: 40px; min-width: 40px; padding: 0px 8px; }"
           "QCheckBox::indicator, QRadioButton::indicator { width: 24px; height: 24px; }"
           "QMessageBox QPushButton { min-height: 40px; min-width: 80px; }";
}

}  // namespace gui
