// Texts that fit in any language: every demo script (all 14 operations
// that open a dialog, with the dialogs they open from buttons) played on
// screen with the own resources and with the pseudo locale (every text
// about 40 % longer), each sheet's pages all visited, and every control's
// text measured against the room its widget gives it before each action.
// The same tests under QT_SCALE_FACTOR=1.5 are the 150 % check (a ctest
// entry of their own).
#include <gtest/gtest.h>

#include <set>

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

#include "apps/run/Operations.h"
#include "gui/Stretch.h"
#include "platform/registry/Registry.h"
#include "resources/PseudoLocale.h"
#include "tests/gui/GuiSession.h"
#include "tests/gui/Operator.h"
#include "util/Util.h"

namespace {

namespace fs = std::filesystem;

// Which dialog or page a widget belongs to, for the failure.
std::string WhereIs(QWidget* w) {
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        const QString name = p->objectName();
        if (name.startsWith("page")) return "page " + name.mid(4).toStdString() + " \"" +
                                             [&] {
                                                 for (QWidget* t = p->parentWidget(); t; t = t->parentWidget())
                                                     if (auto* tabs = qobject_cast<QTabWidget*>(t))
                                                         for (int i = 0; i < tabs->count(); ++i)
                                                             if (tabs->widget(i)->isAncestorOf(p))
                                                                 return tabs->tabText(i).toStdString();
                                                 return std::string();
                                             }() + "\"";
        if (name.startsWith("dialog")) return "dialog " + name.mid(6).toStdString();
    }
    return "?";
}

int Advance(const QFontMetrics& fm, const QString& text) {
    int widest = 0;
    for (const QString& line : text.split('\n')) widest = std::max(widest, fm.horizontalAdvance(line));
    return widest;
}

// Each text of a control that does not show whole: "TEXT: needs N, has M".
std::vector<std::string> CutOff(QWidget* w) {
    std::vector<std::string> out;
    const QFontMetrics fm(w->font());
    auto check = [&](const QString& text, int need, int room) {
        if (!text.isEmpty() && need > room)
            out.push_back("\"" + text.toStdString() + "\": needs " + std::to_string(need) + " px, has " +
                          std::to_string(room));
    };
    if (auto* l = qobject_cast<QLabel*>(w)) {
        const QRect room = l->contentsRect();
        if (l->wordWrap()) {
            // Wrapped at the label's width: every word fits across, the lines down.
            for (const QString& word : l->text().split(QRegularExpression("\\s+"), Qt::SkipEmptyParts))
                check(l->text(), fm.horizontalAdvance(word), room.width());
            check(l->text(), fm.boundingRect(QRect(0, 0, room.width(), 1 << 20), Qt::TextWordWrap, l->text()).height(),
                  room.height());
        } else {
            check(l->text(), Advance(fm, l->text()), room.width());
            check(l->text(), fm.boundingRect(QRect(0, 0, 1 << 20, 1 << 20), 0, l->text()).height(), room.height());
        }
    } else if (auto* b = qobject_cast<QPushButton*>(w)) {
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        check(b->text(), Advance(fm, b->text()), b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b).width());
    } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
        auto* b = static_cast<QAbstractButton*>(w);
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        const auto element = qobject_cast<QCheckBox*>(w) ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents;
        check(b->text(), Advance(fm, b->text()), b->style()->subElementRect(element, &opt, b).width());
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        // The title sits in the frame's top line, clear of its corners.
        check(g->title(), fm.horizontalAdvance(g->title()) + 16, g->width());
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        QStyleOptionComboBox opt;
        opt.initFrom(c);
        opt.editable = c->isEditable();
        const int room = c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c).width();
        for (int i = 0; i < c->count(); ++i) check(c->itemText(i), fm.horizontalAdvance(c->itemText(i)), room);
    } else if (auto* t = qobject_cast<QTreeWidget*>(w)) {
        // Columns: each as wide as its heading and cells (the list scrolls
        // sideways when they are wider than the list together).
        const int margin = 2 * (t->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, t) + 1);
        const int box = t->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, t) + 4;
        const QFontMetrics header(t->header()->font());
        for (int col = 0; col < t->columnCount(); ++col) {
            if (!t->isHeaderHidden())
                check(t->headerItem()->text(col), t->header()->sectionSizeHint(col), t->columnWidth(col));
            for (int r = 0; r < t->topLevelItemCount(); ++r) {
                QTreeWidgetItem* item = t->topLevelItem(r);
                const bool checkable = col == 0 && item->data(0, Qt::CheckStateRole).isValid();
                check(item->text(col), fm.horizontalAdvance(item->text(col)) + margin + (checkable ? box : 0),
                      t->columnWidth(col));
            }
        }
    }
    return out;
}

// Every cut-off text of the window: its controls, the page in front, the tabs.
std::vector<std::string> CutOffTexts(gui::DialogView& view) {
    std::vector<std::string> out;
    const std::string dialog = "dialog " + std::to_string(view.Model().TemplateId());
    for (QWidget* w : view.findChildren<QWidget*>()) {
        if (!w->property("controlId").isValid() || !w->isVisible()) continue;
        for (const auto& text : CutOff(w))
            out.push_back(WhereIs(w) + " control " + std::to_string(w->property("controlId").toInt()) + " " + text);
    }
    if (QTabWidget* tabs = view.Tabs()) {
        QTabBar* bar = tabs->tabBar();
        const QFontMetrics fm(bar->font());
        if (bar->sizeHint().width() > bar->width())
            out.push_back(dialog + " tab row: needs " + std::to_string(bar->sizeHint().width()) + " px, has " +
                          std::to_string(bar->width()));
        for (int i = 0; i < bar->count(); ++i)
            if (fm.horizontalAdvance(bar->tabText(i)) > bar->tabRect(i).width())
                out.push_back(dialog + " tab \"" + bar->tabText(i).toStdString() + "\" cut off");
    }
    return out;
}

struct FitCase {
    std::string language;  // ENG: the own resources
    guitest::DemoScript demo;
};

void PrintTo(const FitCase& c, std::ostream* os) { *os << c.language << " " << c.demo.name; }

class TextFit : public ::testing::TestWithParam<FitCase> {
protected:
    void SetUp() override {
        guitest::App();
        reg::UseMemory();
        reg::Clear();
        dir = fs::temp_directory_path() / ("mirelle-fit-" + std::to_string(::getpid()) + "-" + GetParam().demo.name);
        fs::create_directories(dir);
        fs::copy_file(fs::path(MIRELLE_SOURCE_DIR) / "apps/units/default.json", dir / "unit.json",
                      fs::copy_options::overwrite_existing);
        // The language as a unit has it set: the module chooses its resource
        // module by it when it loads, so it is loaded afresh.
        reg::SetString(reg::HKEY_LOCAL_MACHINE, kProductKey, "SystemLanguage", GetParam().language);
        ASSERT_TRUE(apps::ReloadSetupUIModule());
    }
    void TearDown() override {
        reg::Clear();
        apps::ReloadSetupUIModule();  // the own resources for the tests that follow
        fs::remove_all(dir);
    }
    fs::path dir;
};

TEST_P(TextFit, EveryTextShowsWhole) {
    const FitCase& c = GetParam();
    const bool pseudo = c.language == res::kPseudoLanguage;
    auto parsed = ui::ParseScript(c.demo.script);
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    auto unit = host::SimulatedUnit::Load((dir / "unit.json").string());
    gui::QtFrontEnd frontEnd;
    std::set<std::string> faults;
    std::set<int> dialogs;
    bool translated = false;
    guitest::Operator op(frontEnd, parsed.actions, c.demo.operation + (pseudo ? "-pseudo" : "") + "-fit");
    op.visitPages = true;
    if (pseudo) op.pageTitle = [](const std::string& title) { return res::PseudoLocalise(title); };
    op.onView = [&](gui::DialogView& view) {
        dialogs.insert(view.Model().TemplateId());
        for (const auto& f : CutOffTexts(view)) faults.insert(f);
        for (QWidget* w : view.findChildren<QWidget*>())
            if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->isVisible() && b->text().startsWith('['))
                translated = true;
    };
    bool timedOut = false;
    guitest::RunWatched(frontEnd, *unit, c.demo.operation, timedOut);
    ASSERT_FALSE(timedOut);
    EXPECT_EQ(op.failure, "");
    EXPECT_FALSE(dialogs.empty());
    EXPECT_EQ(translated, pseudo) << "the texts come from the " << (pseudo ? "pseudo locale" : "own resources");
    std::string list;
    for (const auto& f : faults) list += "\n  " + f;
    EXPECT_TRUE(faults.empty()) << c.demo.operation << " (" << c.language << ", scale "
                                << qgetenv("QT_SCALE_FACTOR").toStdString() << "): cut-off texts:" << list;
}

std::vector<FitCase> FitCases() {
    std::vector<FitCase> out;
    for (const char* language : {"ENG", res::kPseudoLanguage})
        for (const auto& demo : guitest::DemoScripts()) out.push_back({language, demo});
    return out;
}

INSTANTIATE_TEST_SUITE_P(Languages, TextFit, ::testing::ValuesIn(FitCases()), [](const auto& info) {
    return std::string(info.param.language == "ENG" ? "Own_" : "Pseudo_") + info.param.demo.name;
});

// A sheet in the pseudo locale takes its size once it is up, from every
// page's texts: turning to a page shown for the first time does not make
// the window jump.
std::string SizeText(const QSize& size) { return std::to_string(size.width()) + "x" + std::to_string(size.height()); }

TEST(TextFitSheet, KeepsItsSizeWhenPagesAreTurned) {
    guitest::App();
    reg::UseMemory();
    reg::Clear();
    ASSERT_TRUE(apps::ReloadSetupUIModule());
    for (const char* operation : {"ShowCameras", "ShowDisplay", "ShowAudio", "ShowIPSourceConfig"}) {
        std::vector<std::string> sizes;
        guitest::Session s(operation);
        reg::SetString(reg::HKEY_LOCAL_MACHINE, kProductKey, "SystemLanguage", res::kPseudoLanguage);
        s.Until([&] { return s.View() && s.View()->isVisible() && s.View()->PagesSized(); })
            .Do([&] { sizes.push_back(SizeText(s.View()->size())); });
        for (int page = 1; page < 8; ++page)
            s.Do([&s, page] {
                 QTabBar* bar = s.View()->Tabs()->tabBar();
                 if (page < bar->count()) QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
             })
                .Until([&s, page] {
                    return page >= s.View()->Tabs()->count() || s.View()->Tabs()->currentIndex() == page;
                })
                .Do([&] { sizes.push_back(SizeText(s.View()->size())); });
        s.Do([&] { s.Click(2); });
        s.Run();
        EXPECT_FALSE(s.timedOut) << operation;
        EXPECT_TRUE(s.Finished()) << operation;
        ASSERT_FALSE(sizes.empty()) << operation;
        EXPECT_EQ(sizes, std::vector<std::string>(sizes.size(), sizes.front())) << operation << ", page by page";
    }
    reg::Clear();
    apps::ReloadSetupUIModule();
}

// The layout's axis map: boxes that need more push what follows.
TEST(AxisMap, MovesWhatFollowsABoxThatNeedsMore) {
    struct Case {
        const char* name;
        std::vector<gui::Span> spans;
        std::vector<std::pair<int, int>> want;  // template coordinate -> laid out
    };
    const Case cases[] = {
        {"all fit: the identity", {{10, 50, 40}, {70, 20, 20}}, {{0, 0}, {10, 10}, {60, 60}, {200, 200}}},
        {"one box: what follows moves by the difference", {{10, 50, 80}}, {{10, 10}, {59, 59}, {60, 90}, {100, 130}}},
        {"two boxes in a row add up", {{10, 50, 80}, {60, 40, 60}}, {{60, 90}, {100, 150}, {120, 170}}},
        {"boxes on different rows: the larger need wins",
         {{10, 50, 80}, {10, 50, 70}},
         {{60, 90}, {300, 330}}},
        {"a box inside a frame: the frame grows with it", {{20, 30, 60}, {10, 100, 100}}, {{50, 80}, {110, 140}}},
        {"a later box that fits already within the room made", {{10, 50, 80}, {10, 90, 100}}, {{60, 90}, {100, 130}}},
        {"a wide box needing more than a narrow one pushed",
         {{10, 50, 80}, {10, 90, 150}},
         {{60, 90}, {100, 160}}},
    };
    for (const auto& c : cases) {
        const gui::AxisMap map = gui::AxisMap::Fit(c.spans);
        for (auto [from, to] : c.want) EXPECT_EQ(map.Map(from), to) << c.name << ": " << from;
        for (const auto& s : c.spans) EXPECT_GE(map.Extent(s.start, s.size), s.need) << c.name;
    }
    EXPECT_TRUE(gui::AxisMap::Fit({{0, 10, 5}}).Identity());
}

}  // namespace
