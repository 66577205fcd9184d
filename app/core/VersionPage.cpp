#include "app/core/VersionPage.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

constexpr std::size_t kMaxField = 255;

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// Text from AStart up to the next double quote, at most 255 characters.
std::string QuotedField(const std::string& ALine, std::size_t AStart)
{
    if (AStart >= ALine.size())
        return {};
    const std::size_t end = ALine.find('"', AStart);
    const std::size_t stop = end == std::string::npos ? ALine.size() : end;
    return ALine.substr(AStart, std::min(stop - AStart, kMaxField));
}

// Fields of a version; nothing when one is not a number.
bool SplitVersion(const std::string& AText, std::vector<std::string>& AFields)
{
    AFields.clear();
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = AText.find('.', start);
        std::string field = AText.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (field.empty() || !std::all_of(field.begin(), field.end(), [](unsigned char c) { return std::isdigit(c); }))
            return false;
        // Compared as digit strings, so no field is too long to compare.
        field.erase(0, std::min(field.find_first_not_of('0'), field.size() - 1));
        AFields.push_back(field);
        if (dot == std::string::npos)
            return true;
        start = dot + 1;
    }
}

int CompareField(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

}  // namespace

TVersionPage ParseVersionPage(const std::string& APage, const TVersionTagNames& ANames)
{
    TVersionPage page;
    std::size_t lineStart = 0;
    while (lineStart <= APage.size()) {
        std::size_t lineEnd = APage.find('\n', lineStart);
        if (lineEnd == std::string::npos)
            lineEnd = APage.size();
        const std::string line = APage.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        const std::size_t meta = line.find("META NAME");
        if (meta == std::string::npos)
            continue;
        // Just after `META NAME="`.
        const std::string name = QuotedField(line, meta + 11);
        const std::size_t content = Lower(line).find("content=");
        if (content == std::string::npos)
            continue;
        const std::string value = QuotedField(line, content + 9);
        if (name == ANames.ProductName)
            page.ProductName = value;
        else if (name == ANames.ClientFileName)
            page.ClientFileName = value;
        else if (name == ANames.Version)
            page.ProductVersion = value;
        else if (name == ANames.Author)
            page.Author = value;
        else if (name == ANames.Email)
            page.Email = value;
        else if (name == ANames.Download)
            page.UpdateURL = value;
        else if (name == ANames.Redirection)
            page.RedirectionURL = value;
        else if (name == ANames.RunParameters)
            page.RunParameters = value;
    }
    return page;
}

bool IsNewerVersion(const std::string& ACurrent, const std::string& ANew)
{
    std::vector<std::string> current, next;
    if (!SplitVersion(ACurrent, current) || !SplitVersion(ANew, next))
        return false;
    const std::size_t n = std::max(current.size(), next.size());
    current.resize(n, "0");
    next.resize(n, "0");
    for (std::size_t i = 0; i < n; ++i) {
        const int c = CompareField(current[i], next[i]);
        if (c != 0)
            return c < 0;
    }
    return false;
}
