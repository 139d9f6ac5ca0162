// The pseudo locale: the text transform, and the generated resource module
// as the component loads it.
#include <gtest/gtest.h>

#include <fstream>

#include <nlohmann/json.hpp>

#include "platform/codepage/CodePage.h"
#include "resources/PseudoLocale.h"
#include "resources/Resources.h"

namespace {

// The printf conversions of a text, in order: from a "%" to its conversion
// letter (or the second "%").
std::vector<std::string> Conversions(const std::string& text) {
    std::vector<std::string> out;
    for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at)) {
        const size_t end = text.find_first_of("diouxXeEfFgGaAcspn%", at + 1);
        if (end == std::string::npos) break;
        out.push_back(text.substr(at, end + 1 - at));
        at = end + 1;
    }
    return out;
}

TEST(PseudoLocale, KeepsWhatTheProgramReads) {
    struct Case {
        const char* text;
        const char* want;
    };
    const Case cases[] = {
        {"Camera", "[\xC7\xE5m\xE9r\xE5 ~~~]"},
        // Conversions, an escaped percent sign, tabs and line breaks stay.
        {"Notify when %d%% full", "[\xD1\xF6t\xEE" "f\xFD wh\xE9\xF1 %d%% f\xFCll ~~~~~~~~]"},
        {"Volume %s\tsize %0.2f\r\nline %-5ld", "[V\xF6l\xFCm\xE9 %s\t\x9A\xEE\x9E\xE9 %0.2f\r\nl\xEE\xF1\xE9 %-5ld ~~~~~~~~]"},
        // The mnemonic's letter stays its key; "&&" is an ampersand.
        {"&Add && Remove", "[&A\xF0\xF0 && R\xE9m\xF6v\xE9 ~~~~~]"},
        // Nothing to translate: numbers, column widths, a lone conversion.
        {"115,50,50", "115,50,50"},
        {"%s", "%s"},
        {"", ""},
        {"1.", "1."},
    };
    for (const auto& c : cases) EXPECT_EQ(res::PseudoLocalise(c.text), c.want) << c.text;
}

TEST(PseudoLocale, AboutFortyPercentLongerInTheSystemCodePage) {
    for (const std::string text : {"OK", "Camera", "Users without Covert Cameras privileges will lose the following"}) {
        const std::string p = res::PseudoLocalise(text);
        EXPECT_GE(p.size(), text.size() * 14 / 10) << p;
        // Every character has a Windows-1252 form: UTF-8 and back is lossless.
        EXPECT_EQ(cp::Utf8ToAnsi(cp::AnsiToUtf8(p)), p);
        EXPECT_EQ(p.find('?'), std::string::npos);
    }
}

class PseudoModule : public ::testing::Test {
protected:
    void TearDown() override { res::UnloadResourceModule(); }
};

TEST_F(PseudoModule, EveryStringKeepsItsConversionsAndStillFormats) {
    std::ifstream in(MIRELLE_PSEUDO_MODULE);
    ASSERT_TRUE(in) << MIRELLE_PSEUDO_MODULE;
    const nlohmann::json module = nlohmann::json::parse(in);
    const std::map<int, std::string>& own = res::OwnStrings();
    ASSERT_EQ(module["strings"].size(), own.size()) << "every string of the own resources";
    ASSERT_TRUE(res::LoadResourceModule(MIRELLE_PSEUDO_MODULE));
    int formatted = 0;
    for (const auto& [id, text] : own) {
        const std::string loaded = res::LoadString(id);
        EXPECT_EQ(Conversions(loaded), Conversions(text)) << id << ": " << loaded;
        const auto conv = Conversions(text);
        if (conv.size() == 1 && (conv[0] == "%s" || conv[0] == "%d")) {
            const std::string out = conv[0] == "%s" ? res::FormatString(id, std::string("VALUE")) : res::FormatString(id, 4711L);
            EXPECT_NE(out.find(conv[0] == "%s" ? "VALUE" : "4711"), std::string::npos) << id << ": " << out;
            ++formatted;
        }
    }
    EXPECT_GT(formatted, 10);
    // Texts the program reads stay as they are.
    EXPECT_EQ(res::LoadString(101), "COM");
    EXPECT_EQ(res::LoadString(149), own.at(149));
    EXPECT_EQ(res::LoadString(1070), own.at(1070));
    // Column heading lists: each heading on its own.
    const std::string headings = res::LoadString(1025);
    EXPECT_EQ(std::count(headings.begin(), headings.end(), ','), std::count(own.at(1025).begin(), own.at(1025).end(), ','));
    EXPECT_EQ(headings.substr(0, 2), "[\xCE");  // "[Index"
}

TEST_F(PseudoModule, TemplatesTakeCaptionsControlTextsAndColumnsButNotFieldValues) {
    ASSERT_TRUE(res::LoadResourceModule(MIRELLE_PSEUDO_MODULE));
    const ui::DialogTemplate* recordMode = res::Template(150);
    ASSERT_TRUE(recordMode);
    EXPECT_EQ(recordMode->caption.front(), '[');
    int captions = 0;
    for (const auto& c : recordMode->controls)
        if (!c.text.empty() && c.kind != ui::ControlKind::Edit) {
            EXPECT_EQ(c.text.front(), '[') << c.id;
            ++captions;
        }
    EXPECT_GT(captions, 3);
    // Report lists' column headings; the dwell time field keeps its value.
    bool columns = false, dwell = false;
    for (int id = 1; id < 10000; ++id)
        if (const ui::DialogTemplate* t = res::Template(id))
            for (const auto& c : t->controls) {
                if (c.kind == ui::ControlKind::ReportList && !c.columns.empty()) {
                    columns = true;
                    for (const auto& h : c.columns) EXPECT_EQ(h.front(), '[') << id << "/" << c.id;
                }
                if (c.id == 1202 && c.kind == ui::ControlKind::TimeEdit) {
                    dwell = true;
                    EXPECT_EQ(c.text, "min:sec");
                }
            }
    EXPECT_TRUE(columns);
    EXPECT_TRUE(dwell);
}

TEST_F(PseudoModule, ABadColumnListIsRefusedWhole) {
    const auto path = std::filesystem::temp_directory_path() / ("mirelle-pseudo-bad-" + std::to_string(::getpid()) + ".json");
    std::ofstream(path) << R"({"strings": {"1022": "X"}, "templates": {"150": {"columns": {"1014": "not a list"}}}})";
    EXPECT_FALSE(res::LoadResourceModule(path.string()));
    EXPECT_EQ(res::LoadString(1022), "Quellan Record Mode Setup") << "nothing of it taken";
    std::filesystem::remove(path);
}

}  // namespace
