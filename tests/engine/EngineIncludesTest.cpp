// The include arrows between the engine's units (a unit: a header with its
// source, engine/transcode/FFmpegVideo.h + .cpp) run one way: no unit
// reaches itself again through the includes of its files. A stage that
// needs a later one is the sign of a function in the wrong room; see
// docs/ARCHITECTURE.md for where a new stage goes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace tarnello::test {
namespace {

namespace fs = std::filesystem;

using TArrows = std::map<std::string, std::set<std::string>>;

std::string UnitOf(const fs::path& ARelative)
{
    fs::path p = ARelative;
    return p.replace_extension().generic_string();
}

// Every unit under engine/ with the engine units its files include. A
// header without a source of its own named after a unit and "State"
// (engine/player/FFPlayState.h) is that unit's private part.
TArrows EngineArrows(const fs::path& ARoot)
{
    static const std::regex include(R"(^\s*#\s*include\s+"(engine/[^"]+)\")");
    std::set<std::string> sources;
    std::vector<fs::path> files;
    for (const auto& e : fs::recursive_directory_iterator(ARoot / "engine")) {
        const std::string ext = e.path().extension().string();
        if (!e.is_regular_file() || (ext != ".h" && ext != ".cpp"))
            continue;
        files.push_back(fs::relative(e.path(), ARoot));
        if (ext == ".cpp")
            sources.insert(UnitOf(files.back()));
    }
    auto owner = [&](const std::string& AUnit) {
        const std::string suffix = "State";
        if (!sources.count(AUnit) && AUnit.size() > suffix.size() &&
            AUnit.compare(AUnit.size() - suffix.size(), suffix.size(), suffix) == 0) {
            const std::string base = AUnit.substr(0, AUnit.size() - suffix.size());
            if (sources.count(base))
                return base;
        }
        return AUnit;
    };
    TArrows arrows;
    for (const fs::path& f : files) {
        const std::string unit = owner(UnitOf(f));
        auto& targets = arrows[unit];
        std::ifstream in(ARoot / f);
        std::string line;
        std::smatch m;
        while (std::getline(in, line))
            if (std::regex_search(line, m, include)) {
                const std::string target = owner(UnitOf(fs::path(m[1].str())));
                if (target != unit)
                    targets.insert(target);
            }
    }
    return arrows;
}

// The groups of units that reach one another (Tarjan's components of more
// than one unit).
std::vector<std::vector<std::string>> Circles(const TArrows& AArrows)
{
    std::map<std::string, int> index, low;
    std::vector<std::string> stack;
    std::set<std::string> onStack;
    std::vector<std::vector<std::string>> found;
    int counter = 0;
    std::function<void(const std::string&)> visit = [&](const std::string& v) {
        index[v] = low[v] = counter++;
        stack.push_back(v);
        onStack.insert(v);
        auto it = AArrows.find(v);
        if (it != AArrows.end())
            for (const std::string& w : it->second) {
                if (!index.count(w)) {
                    visit(w);
                    low[v] = std::min(low[v], low[w]);
                } else if (onStack.count(w)) {
                    low[v] = std::min(low[v], index[w]);
                }
            }
        if (low[v] == index[v]) {
            std::vector<std::string> part;
            std::string w;
            do {
                w = stack.back();
                stack.pop_back();
                onStack.erase(w);
                part.push_back(w);
            } while (w != v);
            if (part.size() > 1)
                found.push_back(part);
        }
    };
    for (const auto& [unit, _] : AArrows)
        if (!index.count(unit))
            visit(unit);
    return found;
}

std::string Describe(const TArrows& AArrows, const std::vector<std::string>& APart)
{
    std::ostringstream out;
    for (const std::string& unit : APart) {
        out << "  " << unit << " ->";
        for (const std::string& t : AArrows.at(unit))
            if (std::find(APart.begin(), APart.end(), t) != APart.end())
                out << ' ' << t;
        out << '\n';
    }
    return out.str();
}

const char* SourceRoot()
{
    return std::getenv("TARNELLO_SOURCE_DIR");
}

TEST(EngineIncludes, TheCheckSeesACircle)
{
    const TArrows arrows = {{"a", {"b"}}, {"b", {"c"}}, {"c", {"a"}}, {"d", {"a"}}};
    const auto circles = Circles(arrows);
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_EQ(circles[0].size(), 3u);
    EXPECT_TRUE(Circles({{"a", {"b"}}, {"b", {}}, {"c", {"a", "b"}}}).empty());
}

TEST(EngineIncludes, NoCircleBetweenEngineUnits)
{
    if (!SourceRoot())
        GTEST_SKIP() << "TARNELLO_SOURCE_DIR is not set (tools/test.sh sets it)";
    const TArrows arrows = EngineArrows(SourceRoot());
    ASSERT_TRUE(arrows.count("engine/transcode/FFmpeg")) << "the engine's sources were not found";
    for (const auto& part : Circles(arrows))
        ADD_FAILURE() << "circle of includes:\n" << Describe(arrows, part);
}

// The task's header is included by every stage, so it includes none: the
// records, the stage states' declarations and the option machinery only.
TEST(EngineIncludes, TheTaskIncludesNoStage)
{
    if (!SourceRoot())
        GTEST_SKIP() << "TARNELLO_SOURCE_DIR is not set (tools/test.sh sets it)";
    const TArrows arrows = EngineArrows(SourceRoot());
    const std::set<std::string> allowed = {"engine/transcode/FFmpegOptions", "engine/transcode/FFmpegRecords",
                                           "engine/transcode/StageState", "engine/transcode/Scheduler"};
    for (const std::string& t : arrows.at("engine/transcode/FFmpeg"))
        if (t.rfind("engine/transcode/", 0) == 0)
            EXPECT_TRUE(allowed.count(t)) << "engine/transcode/FFmpeg includes " << t;
}

}  // namespace
}  // namespace tarnello::test
